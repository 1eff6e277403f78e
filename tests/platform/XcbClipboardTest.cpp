// The clipboard against xclip as the other program, on a private Xvfb.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ClipboardPicture.h"
#include "platform/PictureError.h"
#include "platform/xcb/XcbClipboard.h"

extern char** environ;

namespace orlit {
namespace {

using Bytes = std::vector<std::uint8_t>;

PixelImage Noise(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.SetPixel(x, y, static_cast<std::uint32_t>((x * 2654435761u) ^ (y * 40503u)));
    }
  }
  return image;
}

// Larger than one request of ours (256 KiB) and of xclip's, so it goes incrementally both ways.
std::string LongText() {
  std::string text;
  while (text.size() < 5 * 1024 * 1024) text += "29.02.84 \xC8\x99 " + std::to_string(text.size());
  return text;
}

class XcbClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v Xvfb >/dev/null && command -v xclip >/dev/null") != 0) {
      GTEST_SKIP() << "Xvfb or xclip is not installed";
    }
    // The server picks a free display and writes its number to the pipe.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const std::string fd = std::to_string(ready[1]);
    xvfb_ =
        Spawn({"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "64x64x24", "-nolisten", "tcp"},
              "/dev/null", "/dev/null");
    close(ready[1]);
    std::string number;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    ASSERT_FALSE(number.empty());
    setenv("DISPLAY", (":" + number).c_str(), 1);
    connection_.emplace();
    clipboard_.emplace(*connection_, -1);
  }

  void TearDown() override {
    clipboard_.reset();
    connection_.reset();
    std::remove((temp_ + "in").c_str());
    std::remove((temp_ + "out").c_str());
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      waitpid(xvfb_, nullptr, 0);
    }
  }

  static pid_t Spawn(std::vector<const char*> argv, const std::string& in, const std::string& out) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawnp(&pid, argv[0], &files, nullptr, const_cast<char**>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&files);
    return pid;
  }

  // Runs xclip on the clipboard with `data` as input, answering its requests meanwhile; what
  // it printed, nothing when it failed or hung.
  std::optional<std::string> Xclip(std::vector<const char*> args, const std::string& data = "") {
    const std::string in = temp_ + "in", out = temp_ + "out";
    std::ofstream(in, std::ios::binary) << data;
    const bool offers = std::find(args.begin(), args.end(), std::string_view("-i")) != args.end();
    const xcb_window_t owner_before = Owner();
    args.insert(args.begin(), {"xclip", "-selection", "clipboard"});
    const pid_t pid = Spawn(args, in, out);
    int status = -1;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > give_up) kill(pid, SIGKILL);
      connection_->WaitReadable(10);
      while (XcbEventPtr event = connection_->NextEvent()) clipboard_->HandleEvent(*event);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    // xclip leaves a child behind to hold what it offers, and that child takes the clipboard
    // only after the parent has gone.
    while (offers && Owner() == owner_before && std::chrono::steady_clock::now() < give_up) {
      connection_->WaitReadable(10);
      while (XcbEventPtr event = connection_->NextEvent()) clipboard_->HandleEvent(*event);
    }
    std::stringstream printed;
    printed << std::ifstream(out, std::ios::binary).rdbuf();
    return printed.str();
  }

  xcb_window_t Owner() {
    xcb_connection_t* c = connection_->Get();
    XcbReplyPtr<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, connection_->Atom("CLIPBOARD")), nullptr));
    return reply ? reply->owner : 0;
  }

  // Tests run side by side in separate processes.
  std::string temp_ = ::testing::TempDir() + "xcb_clipboard_" + std::to_string(getpid()) + "_";
  pid_t xvfb_ = -1;
  std::optional<XcbConnection> connection_;
  std::optional<XcbClipboard> clipboard_;
};

TEST_F(XcbClipboardTest, TextCrossesBothWays) {
  struct Case {
    const char* target;
    std::string ours;    // what we hold or read
    std::string theirs;  // what xclip reads or offers as `target`
  };
  const Case cases[] = {
      {"UTF8_STRING", "29.02.84 \xC8\x99 \xE2\x82\xAC", "29.02.84 \xC8\x99 \xE2\x82\xAC"},
      {"STRING", "\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
      {"UTF8_STRING", LongText(), LongText()},
  };
  for (const Case& c : cases) {
    clipboard_->SetText(c.ours);
    EXPECT_EQ(Xclip({"-o", "-t", c.target}), c.theirs) << c.target;
    EXPECT_EQ(Xclip({"-i", "-t", c.target}, c.theirs), "");
    EXPECT_EQ(clipboard_->Text(), c.ours) << c.target;
  }
  // What Latin-1 cannot hold reaches STRING readers as '?'.
  clipboard_->SetText("\xE2\x82\xAC 5");
  EXPECT_EQ(Xclip({"-o", "-t", "STRING"}), "? 5");
}

TEST_F(XcbClipboardTest, PicturesCrossBothWays) {
  for (const PixelImage& picture : {Noise(40, 30), Noise(800, 600)}) {
    for (const std::string_view type : ClipboardPictureTypes()) {
      clipboard_->SetPicture(picture);
      const std::optional<std::string> data = Xclip({"-o", "-t", type.data()});
      ASSERT_TRUE(data) << type;
      EXPECT_EQ(DecodeClipboardPicture(type, Bytes(data->begin(), data->end())), picture) << type;
      const Bytes file = EncodeClipboardPicture(type, picture);
      Xclip({"-i", "-t", type.data()}, std::string(file.begin(), file.end()));
      EXPECT_TRUE(clipboard_->HasPicture()) << type;
      EXPECT_EQ(clipboard_->Picture(), picture) << type;
    }
  }
  Xclip({"-i", "-t", "image/png"}, "not a picture");
  EXPECT_THROW(clipboard_->Picture(), EInvalidGraphic);
}

TEST_F(XcbClipboardTest, HoldingTextOrAPictureDropsTheOther) {
  clipboard_->SetPicture(Noise(4, 4));
  clipboard_->SetText("words");
  EXPECT_FALSE(clipboard_->HasPicture());
  EXPECT_EQ(Xclip({"-o", "-t", "image/png"}), std::nullopt);
  clipboard_->SetPicture(Noise(4, 4));
  EXPECT_EQ(clipboard_->Text(), "");
  EXPECT_EQ(Xclip({"-o", "-t", "UTF8_STRING"}), std::nullopt);
}

TEST_F(XcbClipboardTest, AnOwnerThatNeverAnswersGivesNothing) {
  XcbConnection silent;
  const xcb_window_t window = xcb_generate_id(silent.Get());
  xcb_create_window(silent.Get(), XCB_COPY_FROM_PARENT, window, silent.Root(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_set_selection_owner(silent.Get(), window, silent.Atom("CLIPBOARD"), XCB_CURRENT_TIME);
  // A round trip: the server has made it the owner before we ask.
  XcbReplyPtr<xcb_get_input_focus_reply_t>(
      xcb_get_input_focus_reply(silent.Get(), xcb_get_input_focus(silent.Get()), nullptr));
  EXPECT_EQ(clipboard_->Text(), "");
  EXPECT_FALSE(clipboard_->HasPicture());
  EXPECT_EQ(clipboard_->Picture(), std::nullopt);
}

}  // namespace
}  // namespace orlit
