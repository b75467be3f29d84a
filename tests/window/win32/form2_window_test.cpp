// The Win32 window from inside, under Wine on a display of its own
// (on_display.sh): its look as drawn on the screen, checked as the Qt window's
// is (places at the window's dpi, colours of the back, the frame, the buttons'
// faces and captions, the labels' text, the progress drawn); a file chosen, and
// one dropped, named in the title; the layout at another screen's dpi; and a
// protected workbook's password asked in the window's dialog, a wrong one
// first, then converted.
#include "window/win32/form2_window.h"

// After windows.h:
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <thread>

#include "window/win32/utf16.h"
#include "window/win32/window_image.h"

namespace zerova {
namespace {

using namespace std::chrono_literals;

const std::string kData = ZEROVA_TEST_DATA;

// Runs the thread's messages until `done` is true; false when `limit` passes first.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 60s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return true;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  ::GetWindowTextW(window, text, 512);
  return text;
}

// From another thread: the dialog titled `title`, once it is shown (null after 60 s).
HWND AwaitDialog(const wchar_t* title) {
  for (int tries = 0; tries < 6000; ++tries) {
    const HWND dialog = ::FindWindowW(L"#32770", title);
    if (dialog != nullptr && ::IsWindowVisible(dialog)) return dialog;
    std::this_thread::sleep_for(10ms);
  }
  return nullptr;
}

// From another thread: types `password` into the password dialog and presses
// OK; the question it asked, or "" when none came.
std::wstring AnswerPassword(const std::wstring& password) {
  const HWND dialog = AwaitDialog(L"Password");
  if (dialog == nullptr) return L"";
  const std::wstring question = TextOf(::GetWindow(dialog, GW_CHILD));
  ::SetDlgItemTextW(dialog, 100, password.c_str());
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  while (::IsWindow(dialog)) std::this_thread::sleep_for(10ms);
  return question;
}

class Form2WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    form_.Show();
    dpi_ = static_cast<int>(::GetDpiForWindow(form_.handle()));
  }

  // `pixels` at 96 dpi, at the window's.
  int Scaled(int pixels) const { return pixels * dpi_ / 96; }
  // Where `control` stands in the client area.
  RECT PlaceOf(Control control) const {
    RECT place;
    ::GetWindowRect(form_.ControlWindow(control), &place);
    ::MapWindowPoints(nullptr, form_.handle(), reinterpret_cast<POINT*>(&place), 2);
    return place;
  }
  // How many pixels of `image` inside `place`, `inset` pixels in, are `colour`.
  static int Count(const WindowImage& image, const RECT& place, Rgb colour, int inset = 0) {
    int count = 0;
    for (int y = place.top + inset; y < place.bottom - inset; ++y) {
      for (int x = place.left + inset; x < place.right - inset; ++x) {
        const Rgb pixel = image.At(x, y);
        count +=
            pixel.red == colour.red && pixel.green == colour.green && pixel.blue == colour.blue;
      }
    }
    return count;
  }

  std::optional<int> ended_;
  Form2Window form_{[this](int status) { ended_ = status; }};
  int dpi_ = 96;
};

bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// Every control where the Qt window has it at 96 dpi, scaled by the window's
// dpi; the back, the frame, the faces and each caption in the layout's
// colours, Convert's disabled; the progress bar filled to its value.
TEST_F(Form2WindowTest, LooksAsTheLayoutSays) {
  const struct {
    Control control;
    RECT at96dpi;
    Rgb caption;
  } kControls[] = {
      {Control::kLabel2, {216, 16, 377, 41}, {192, 0, 0}},
      {Control::kCommand2, {216, 48, 377, 73}, {0, 0, 0}},
      {Control::kCommand1, {216, 80, 377, 105}, kDisabledCaption},
      {Control::kCommand3, {216, 112, 377, 137}, {0, 0, 0}},
      {Control::kLabel4, {24, 152, 585, 169}, {128, 0, 0}},
      {Control::kLabel5, {24, 176, 585, 209}, {0, 0, 255}},
      {Control::kLabel3, {192, 216, 369, 233}, {0, 64, 0}},
      {Control::kProgressBar1, {384, 216, 576, 232}, {0, 64, 0}},
  };
  form_.SetVisible(Control::kLabel3, true);
  form_.SetVisible(Control::kProgressBar1, true);
  form_.SetProgress(kProgressMaximum / 2);
  const WindowImage image = CaptureWindow(form_.handle(), false);
  ASSERT_EQ(image.width, Scaled(599));
  ASSERT_EQ(image.height, Scaled(263));
  for (const auto& [control, at96dpi, caption] : kControls) {
    SCOPED_TRACE(LayoutOf(control).name);
    const RECT place = PlaceOf(control);
    EXPECT_EQ(place.left, Scaled(at96dpi.left));
    EXPECT_EQ(place.top, Scaled(at96dpi.top));
    EXPECT_EQ(place.right, Scaled(at96dpi.right));
    EXPECT_EQ(place.bottom, Scaled(at96dpi.bottom));
    if (LayoutOf(control).kind == ControlKind::kButton) {
      EXPECT_TRUE(image.At(place.left + 3, place.top + 3) == kButtonFace);
      EXPECT_EQ(Count(image, place, {0, 0, 0}, 5) > 0, caption == (Rgb{0, 0, 0}));
    }
    EXPECT_GE(Count(image, place, caption, 2), 20);
  }
  EXPECT_TRUE(image.At(Scaled(3), Scaled(3)) == kBackColour);
  EXPECT_TRUE(image.At(Scaled(100), Scaled(130)) == kBackColour);
  EXPECT_TRUE(image.At(Scaled(8), Scaled(100)) == (Rgb{0, 0, 0}));  // the frame
  const RECT bar = PlaceOf(Control::kProgressBar1);
  const int middle = (bar.top + bar.bottom) / 2, width = bar.right - bar.left;
  EXPECT_TRUE(image.At(bar.left + width / 4, middle) == (Rgb{0, 64, 0}));
  EXPECT_FALSE(image.At(bar.right - width / 4, middle) == (Rgb{0, 64, 0}));
}

// Moved to a screen of 144 dpi, the window lays its controls out, fonts
// included, at that dpi, and takes the place the system suggests.
TEST_F(Form2WindowTest, FollowsTheDpiOfItsScreen) {
  RECT suggested = {10, 20, 10 + 909, 20 + 430};
  ::SendMessageW(form_.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  const RECT place = PlaceOf(Control::kCommand2);
  EXPECT_EQ(place.left, 324);
  EXPECT_EQ(place.top, 72);
  EXPECT_EQ(place.right, 565);
  EXPECT_EQ(place.bottom, 109);
  LOGFONTW font{};
  const HWND select = form_.ControlWindow(Control::kCommand2);
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(select, WM_GETFONT, 0, 0)), sizeof font,
               &font);
  EXPECT_EQ(font.lfHeight, -20);  // 9.75 points at 144 dpi
  RECT window;
  ::GetWindowRect(form_.handle(), &window);
  EXPECT_EQ(window.left, 10);
  EXPECT_EQ(window.right - window.left, 909);
}

// A file chosen, given or dropped (a DROPFILES block, as the shell sends it),
// is named in the title, and Convert may then be pressed.
TEST_F(Form2WindowTest, NamesTheFileChosenInTheTitle) {
  const std::wstring path = Utf16Of(kData + "/basic/input.xls");
  const HGLOBAL drop = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(::GlobalLock(drop));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  path.copy(reinterpret_cast<wchar_t*>(files + 1), path.size());
  ::GlobalUnlock(drop);
  EXPECT_EQ(TextOf(form_.handle()), L"Zerova");
  ::PostMessageW(form_.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // it frees it
  EXPECT_TRUE(PumpUntil([&] { return TextOf(form_.handle()) == L"input.xls \u2013 Zerova"; }));
  EXPECT_TRUE(::IsWindowEnabled(form_.ControlWindow(Control::kCommand1)));
  EXPECT_FALSE(::IsWindowEnabled(form_.ControlWindow(Control::kCommand2)));
}

// Disabling the button that has the focus hands the focus on to the next tab
// stop, so the keyboard keeps a way on; enabling or disabling another button
// leaves it where it is.
TEST_F(Form2WindowTest, OnlyDisablingTheFocusedButtonMovesTheFocus) {
  const HWND select = form_.ControlWindow(Control::kCommand2);
  ::SetFocus(select);
  ASSERT_EQ(::GetFocus(), select);
  form_.SetEnabled(Control::kCommand1, true);
  form_.SetEnabled(Control::kCommand1, false);
  form_.SetEnabled(Control::kCommand2, true);
  EXPECT_EQ(::GetFocus(), select);
  form_.SetEnabled(Control::kCommand2, false);
  EXPECT_EQ(::GetFocus(), form_.ControlWindow(Control::kCommand3));
}

// Convert asks for the password in the window's dialog, again after a wrong
// one, and the document is the workbook's.
TEST_F(Form2WindowTest, AsksForThePasswordInItsDialog) {
  const std::string book = kData + "/encrypted-xlsx-agile";
  std::string password;
  std::getline(std::ifstream(std::filesystem::path(Utf16Of(book + "/password.txt"))), password);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zerova-password";
  std::filesystem::create_directories(folder);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  form_.OpenFile(book + "/input.xlsx");

  auto answers = std::async(std::launch::async, [&] {
    std::vector<std::wstring> questions = {AnswerPassword(L"wrong"),
                                           AnswerPassword(Utf16Of(password))};
    if (const HWND box = AwaitDialog(L"Dizuzize")) ::SendMessageW(box, TDM_CLICK_BUTTON, IDOK, 0);
    return questions;
  });
  ::PostMessageW(form_.ControlWindow(Control::kCommand1), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return ended_.has_value(); }, 120s));
  const std::vector<std::wstring> questions = answers.get();
  std::filesystem::current_path(previous);

  EXPECT_NE(questions[0].find(L"\u201Cinput.xlsx\u201D is password-protected"), std::wstring::npos);
  EXPECT_NE(questions[1].find(L"The password is wrong"), std::wstring::npos);
  EXPECT_EQ(ended_, 0);
  const auto contents = [](const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
  };
  EXPECT_EQ(contents(folder / "xmlstructure.xml"),
            contents(std::filesystem::path(Utf16Of(book + "/expected.xml"))));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zerova
