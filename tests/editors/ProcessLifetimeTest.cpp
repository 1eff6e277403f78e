#include <gtest/gtest.h>

#include <cstdlib>

#include "editors/StyleController.h"
#include "framework/Canvas.h"
#include "lookandfeel/Office11Scheme.h"

namespace orlit {
namespace {

void FailUnless(bool ok) {
  if (!ok) std::_Exit(3);
}

// `make` runs first in a fresh process; `use_at_exit` after its last static destructor.
struct LateUse {
  const char* name;
  void (*make)();
  void (*use_at_exit)();
};

const TcxEditStyleController* g_kept_controller = nullptr;
void (*g_use_at_exit)() = nullptr;

const LateUse kLateUses[] = {
    {"static-kept look and feel releases the Office-11 scheme",
     [] { g_kept_controller = &DefaultEditStyleController(); },
     [] {
       FailUnless(IsDefaultEditStyleController(g_kept_controller));
       ReleaseDefaultEditStyleControllerIfUnused();
       FailUnless(CurrentOffice11Scheme().border == ColorToRGB(clBtnShadow));
     }},
    {"static device context draws text with a new font",
     [] { MeasuringContext().GetTextExtentPoint32("x"); },
     [] {
       LOGFONT logical;
       logical.lfHeight = -23;
       logical.lfFaceName = "Arial";
       MeasuringContext().SelectFont(ResolvedFont::Create(logical));
       FailUnless(MeasuringContext().GetTextExtentPoint32("Orlit").cx > 0);
     }},
};

TEST(ProcessLifetimeTest, ProcessWideObjectsServeUsersAfterStaticDestruction) {
  // Each case in a fresh process, so its objects are the first statics made and the last gone.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const LateUse& use : kLateUses) {
    SCOPED_TRACE(use.name);
    EXPECT_EXIT(
        {
          g_use_at_exit = use.use_at_exit;
          std::atexit([] { g_use_at_exit(); });
          use.make();
          std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
  }
}

}  // namespace
}  // namespace orlit
