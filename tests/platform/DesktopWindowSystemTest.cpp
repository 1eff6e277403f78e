#include <gtest/gtest.h>

#include <vector>

#include "platform/DesktopWindowSystem.h"

namespace orlit {
namespace {

TEST(DesktopWindowSystemTest, BackendsFollowTheSettingThenTheCompositor) {
  using enum DesktopBackend;
  const struct {
    const char* setting;
    const char* wayland_display;
    std::vector<DesktopBackend> backends;
  } cases[] = {
      {nullptr, nullptr, {kX11}},
      {nullptr, "", {kX11}},
      {nullptr, "wayland-1", {kWayland, kX11}},
      {"", "wayland-0", {kWayland, kX11}},
      {"x11", "wayland-0", {kX11}},
      {"wayland", nullptr, {kWayland}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DesktopBackendsToTry(c.setting, c.wayland_display), c.backends)
        << (c.setting ? c.setting : "-") << " " << (c.wayland_display ? c.wayland_display : "-");
  }
  EXPECT_THROW(DesktopBackendsToTry("mir", "wayland-0"), EWindowSystemError);
}

}  // namespace
}  // namespace orlit
