#include "FrameworkFixture.h"
#include "framework/PopupMenu.h"

namespace orlit {
namespace {

class PopupMenuTest : public FrameworkTest {
 protected:
  PopupMenuTest() {
    menu_->Add("Cu&t")->SetEnabled(false);
    menu_->Add("&Copy");
    menu_->Add("&Paste");
    menu_->Add("-");
    menu_->Add("&Load...");
    menu_->Add("Hidden")->SetVisible(false);
    menu_->Add("Save &As...");
    menu_->Add("Second &A");
    for (const auto& item : menu_->Items()) {
      item->OnClick = [this](TObject* sender) {
        clicked_.push_back(static_cast<TMenuItem*>(sender)->Caption());
      };
    }
    main_ = NewForm<TForm>();
    main_->SetBounds(100, 100, 300, 200);
    ShowAndSettle(main_);
  }

  // Pops the menu up at `at` and runs `act` on its window once it is up.
  std::string Run(TPoint at, const std::function<void(TCustomForm&)>& act) {
    bool acted = false;
    desktop_.SetIdleHandler([&] {
      if (menu_->Form() == nullptr || acted) return;
      acted = true;
      act(*menu_->Form());
    });
    TMenuItem* chosen = menu_->Popup(at);
    desktop_.SetIdleHandler(nullptr);
    EXPECT_EQ(menu_->Form(), nullptr);
    EXPECT_EQ(app_.Forms().size(), 1u);
    return chosen != nullptr ? chosen->Caption() : "";
  }

  std::unique_ptr<TPopupMenu> menu_ = MakeComponent<TPopupMenu>();
  TForm* main_ = nullptr;
  std::vector<std::string> clicked_;
};

TEST_F(PopupMenuTest, KeysChooseOrClose) {
  struct Case {
    std::vector<int> keys;
    std::string typed;
    std::string chosen;
  };
  const Case cases[] = {
      {{VK_DOWN, VK_RETURN}, "", "&Copy"},
      {{VK_UP, VK_RETURN}, "", "Second &A"},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_SPACE}, "", "&Load..."},
      {{VK_END, VK_DOWN, VK_RETURN}, "", "&Copy"},
      {{VK_ESCAPE}, "", ""},
      {{}, "P", "&Paste"},
      {{VK_RETURN}, "t\x1b", ""},
      {{}, "aa\r", "Second &A"},
  };
  for (const Case& c : cases) {
    clicked_.clear();
    const std::string chosen = Run({150, 150}, [&](TCustomForm&) {
      for (const int key : c.keys) desktop_.PressKey(key);
      desktop_.TypeText(c.typed);
    });
    EXPECT_EQ(chosen, c.chosen) << c.typed;
    EXPECT_EQ(clicked_, chosen.empty() ? std::vector<std::string>{} : std::vector{chosen});
    EXPECT_TRUE(main_->Active());
  }
}

TEST_F(PopupMenuTest, ThePointerHighlightsAndClicksOrClosesOutside) {
  struct Case {
    TPoint point;  // in the menu's client coordinates
    bool to_main_form;
    std::string chosen;
  };
  const int first_row = 2 + TPopupMenu::kItemHeight / 2;
  const Case cases[] = {
      {{30, first_row + TPopupMenu::kItemHeight}, false, "&Copy"},
      {{30, first_row}, false, ""},  // disabled: stays open until the click outside
      {{-20, 5}, false, ""},
      {{30, first_row}, true, ""},
  };
  for (const Case& c : cases) {
    TMenuItem* highlighted = nullptr;
    const std::string chosen = Run({150, 150}, [&](TCustomForm& form) {
      desktop_.MoveMouse(form.ClientToScreen(c.point));
      app_.ProcessMessages();
      highlighted = menu_->Highlighted();
      if (c.to_main_form) {
        desktop_.Click({120, 120});
        return;
      }
      desktop_.Click(form.ClientToScreen(c.point));
      app_.ProcessMessages();
      if (menu_->Form() != nullptr) desktop_.Click({5, 5});
    });
    EXPECT_EQ(chosen, c.chosen) << c.point.X << "," << c.point.Y;
    if (c.chosen == "&Copy") {
      EXPECT_EQ(highlighted, menu_->Items()[1].get());
    }
  }
}

TEST_F(PopupMenuTest, OpensOnTheMonitorAndDrawsTheHighlight) {
  for (const TMenuLook look : {mlStandard, mlFlat, mlUltraFlat, mlOffice11}) {
    menu_->SetLook(look);
    TRect bounds;
    std::uint32_t hot_pixel = 0;
    std::uint32_t plain_pixel = 0;
    Run({1020, 760}, [&](TCustomForm& form) {
      desktop_.PressKey(VK_DOWN);
      app_.ProcessMessages();
      bounds = form.BoundsRect();
      const PixelImage& pixels = desktop_.Window(form.Window()->Id())->pixels;
      const int y = 2 + TPopupMenu::kItemHeight * 3 / 2;
      hot_pixel = pixels.Pixel(form.Width() - 5, y);
      plain_pixel = pixels.Pixel(form.Width() - 5, y + TPopupMenu::kItemHeight);
      desktop_.PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(bounds.Right, 1020) << look;
    EXPECT_EQ(bounds.Bottom, 760) << look;
    EXPECT_NE(hot_pixel, plain_pixel) << look;
    EXPECT_EQ(plain_pixel, ColorToPixel(clMenu)) << look;
  }
}

}  // namespace
}  // namespace orlit
