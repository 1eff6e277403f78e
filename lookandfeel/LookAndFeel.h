#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "lookandfeel/BorderStyles.h"
#include "lookandfeel/InterfacedPersistent.h"
#include "lookandfeel/LookAndFeelKind.h"
#include "lookandfeel/Painters.h"
#include "lookandfeel/SystemPalette.h"
#include "lookandfeel/VisualStyles.h"

namespace orlit {

class TcxLookAndFeel;

// What a look and feel tells the objects that depend on it: the look-and-feel objects whose
// values it passes on, and the controller of the root.
class LookAndFeelChangeListener {
 public:
  // The object that implements the interface.
  virtual TObject* GetObject() = 0;
  virtual void MasterLookAndFeelChanged(TcxLookAndFeel* sender,
                                        TcxLookAndFeelValues changed_values) = 0;
  virtual void MasterLookAndFeelDestroying(TcxLookAndFeel* sender) = 0;

 protected:
  ~LookAndFeelChangeListener() = default;
};

using TcxLookAndFeelChangedEvent =
    std::function<void(TcxLookAndFeel* sender, TcxLookAndFeelValues changed_values)>;

// How a control is drawn: a kind and whether the desktop's visual style is used. A value not
// assigned on the object is inherited from its master, or from the root look and feel when it
// has none.
class TcxLookAndFeel : public TcxInterfacedPersistent, public LookAndFeelChangeListener {
 public:
  // Registers with the root when there is one.
  explicit TcxLookAndFeel(TPersistent* owner = nullptr);
  // Tells every listener that it is going away, then unregisters from its parent.
  ~TcxLookAndFeel() override;

  // The root look and feel of the process; null before the look and feel is started.
  static TcxLookAndFeel* Root();

  // The effective values (as of the last change).
  TcxLookAndFeelKind Kind() const { return current_kind_; }
  void SetKind(TcxLookAndFeelKind kind);
  bool NativeStyle() const { return current_native_style_; }
  void SetNativeStyle(bool native_style);
  TcxLookAndFeelValues AssignedValues() const { return assigned_values_; }
  void SetAssignedValues(TcxLookAndFeelValues values);
  // Whether the form stores the property: only when it is assigned.
  bool IsKindStored() const { return assigned_values_.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return assigned_values_.Contains(lfvNativeStyle); }

  TcxLookAndFeel* Master() const { return master_; }
  // Ignored for the root, for this object itself, for the current parent, and for a look and
  // feel that (through its masters) inherits from this one.
  void SetMaster(TcxLookAndFeel* master);
  // The master, else the root; none for the root.
  TcxLookAndFeel* EffectiveParent() const;
  bool IsRoot() const { return is_root_; }

  void Assign(const TPersistent& source) override;

  // Listeners are told of changes in the order they were added. A controller can only listen
  // to the root.
  void AddChangeListener(LookAndFeelChangeListener* listener);
  void RemoveChangeListener(LookAndFeelChangeListener* listener);

  // The painter the controls use: the override, else the native painter while the native
  // style is on and usable, else the kind's.
  TcxLookAndFeelPainterClass Painter() const;
  // The painter for one kind of themed object: native only when that object's theme opens.
  TcxLookAndFeelPainterClass Painter(ThemedObject object) const;
  TcxLookAndFeelPainterClass PainterOverride() const { return painter_override_; }
  void SetPainterOverride(TcxLookAndFeelPainterClass painter) { painter_override_ = painter; }

  // Fired after the listeners were told of a change.
  TcxLookAndFeelChangedEvent OnChanged;

  // LookAndFeelChangeListener: this object listens to its effective parent.
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* sender,
                                TcxLookAndFeelValues changed_values) override;
  void MasterLookAndFeelDestroying(TcxLookAndFeel* sender) override;

 private:
  friend class LookAndFeelModule;
  struct RootTag {};
  explicit TcxLookAndFeel(RootTag);

  TcxLookAndFeelKind EffectiveKind() const;
  bool EffectiveNativeStyle() const;
  void SavePreviousValues();
  void CheckChanges();
  void Changed(TcxLookAndFeelValues changed_values);
  // Moves to another master without announcing anything.
  void ReplaceMaster(TcxLookAndFeel* master);
  bool InheritsFrom(const TcxLookAndFeel* other) const;

  TcxLookAndFeelKind kind_ = lfUltraFlat;
  bool native_style_ = false;
  TcxLookAndFeelValues assigned_values_;
  TcxLookAndFeel* master_ = nullptr;
  TcxLookAndFeelKind current_kind_ = lfUltraFlat;
  bool current_native_style_ = false;
  TcxLookAndFeelKind previous_kind_ = lfUltraFlat;
  bool previous_native_style_ = false;
  std::vector<LookAndFeelChangeListener*> listeners_;
  bool is_root_ = false;
  bool destroying_ = false;
  TcxLookAndFeelPainterClass painter_override_ = nullptr;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> notifier_;
};

// The painter of a kind when no native style applies.
TcxLookAndFeelPainterClass GetPainterClass(TcxLookAndFeelKind kind);

// The border style of an editor whose style leaves it unassigned.
TcxContainerBorderStyle GetDefaultEditBorderStyle(TcxLookAndFeelKind kind);

// How many controllers are registered with the root.
int LookAndFeelControllerCount();

}  // namespace orlit
