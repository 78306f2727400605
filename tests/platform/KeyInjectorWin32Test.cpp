// The SendInput back end against a real edit control: a window of the test's own
// takes the keyboard focus, the back end types, and the control's text is read
// back. Needs a desktop to create windows on (under wine, an X display).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/KeyInjector.h"

namespace zorvan {
namespace {

using namespace std::chrono_literals;

// A multiline edit control as a top-level window, so that Tab and Enter land in
// it as characters. Its own thread runs the message loop while the test types.
class EditWindow {
public:
    EditWindow() {
        std::promise<HWND> created;
        std::future<HWND> window = created.get_future();
        thread_ = std::thread([this, &created] { Run(created); });
        window_ = window.get();
    }
    ~EditWindow() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;

    bool focused() const { return window_ != nullptr && GetForegroundWindow() == window_; }

    std::u16string Text() const {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
        return {text.begin(), text.end()};
    }

    void Clear() const { SetWindowTextW(window_, L""); }

    // The text once it equals expected, or as it stands when the wait runs out.
    std::u16string WaitForText(const std::u16string& expected) const {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        std::u16string text = Text();
        while (text != expected && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(20ms);
            text = Text();
        }
        return text;
    }

private:
    void Run(std::promise<HWND>& created) {
        threadId_ = GetCurrentThreadId();
        HWND window = CreateWindowExW(
            0, L"EDIT", L"typing target",
            WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 40,
            40, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (window != nullptr) {
            SetForegroundWindow(window);
            SetFocus(window);
        }
        created.set_value(window);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (window != nullptr) {
            DestroyWindow(window);
        }
    }

    std::thread thread_;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// Keys for a text: Tab and line feed as their keys, everything else as characters.
std::vector<KeyAction> KeysFor(const std::u32string& text) {
    std::vector<KeyAction> keys;
    for (const char32_t c : text) {
        keys.push_back(c == U'\t'   ? KeyAction::Tab()
                       : c == U'\n' ? KeyAction::Enter()
                                    : KeyAction::Character(c));
    }
    return keys;
}

TEST(KeyInjectorWin32, TypedTextArrivesInTheFocusedEditControlAsItself) {
    std::u32string ascii;
    for (char32_t c = U' '; c <= U'~'; ++c) {
        ascii.push_back(c);
    }
    const struct {
        const char* name;
        std::u32string typed;
        std::u16string expected;
    } rows[] = {
        {"printable ASCII", ascii, std::u16string(ascii.begin(), ascii.end())},
        {"Tab and Enter", U"id\tpw\nnext", u"id\tpw\r\nnext"},
        {"Japanese", U"日本語のかなとｶﾅ", u"日本語のかなとｶﾅ"},
        {"outside the BMP", U"\U00020BB7野家 \U0001F511", u"\U00020BB7野家 \U0001F511"},
    };

    EditWindow target;
    ASSERT_TRUE(target.focused()) << "the test window did not become the foreground window";
    const auto injector = CreateKeyInjector();
    ASSERT_TRUE(injector->Available());
    // Typed as auto-type does, only while the edit window keeps the focus.
    const std::uint64_t focused = injector->FocusedWindow().id;
    ASSERT_NE(focused, 0u);
    for (const auto& row : rows) {
        target.Clear();
        EXPECT_EQ(injector->Type(KeysFor(row.typed), focused), TypeResult::kTyped) << row.name;
        EXPECT_EQ(target.WaitForText(row.expected), row.expected) << row.name;
    }
    // An empty text is typed at once; a window no longer in front gets nothing.
    EXPECT_EQ(injector->Type({}, 0), TypeResult::kTyped);
    const KeyAction key = KeyAction::Character(U'x');
    EXPECT_EQ(injector->Type({&key, 1}, focused + 1), TypeResult::kFocusMoved);
}

}  // namespace
}  // namespace zorvan
