#include "platform/headless/HeadlessPlatform.h"
#include "platform/Accelerators.h"
#include "platform/Mnemonic.h"

#include <gtest/gtest.h>

namespace tavro::platform {
namespace {

TEST(Accelerators, MatchCharacterAndAltState) {
    const AcceleratorTable table{109, {{kAcceleratorAlt, '?', 104}, {0, 'x', 5}}};
    struct Case {
        std::uint32_t id;
        std::uintptr_t key;
        std::intptr_t lParam;
        int command;
    };
    const Case cases[] = {
        {kMessageSysChar, '?', 0, 104},        // Alt held
        {kMessageChar, '?', kAltHeldBit, 104}, // Alt held, reported in lParam
        {kMessageChar, '?', 0, -1},            // no Alt
        {kMessageChar, 'x', 0, 5},             // plain character entry
        {kMessageSysChar, 'x', 0, -1},         // plain entry, but Alt held
        {kMessageSysKeyDown, '?', 0, -1},      // a key, not yet a character
        {kMessageSysChar, '/', 0, -1},         // not in the table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.id << " " << c.key);
        EXPECT_EQ(FindAcceleratorCommand(table, Message{nullptr, c.id, c.key, c.lParam}), c.command);
    }
}

TEST(Mnemonic, MarkersAreRemovedAndTheLetterFound) {
    struct Case {
        const char* text;
        const char* display;
        std::size_t underlined;
        char letter;
    };
    const Case cases[] = {
        {"E&xit", "Exit", 1, 'x'},           {"&File", "File", 0, 'f'},
        {"&About ...", "About ...", 0, 'a'}, {"A && B", "A & B", 0, 0},
        {"No marker", "No marker", 0, 0},    {"Trailing&", "Trailing&", 0, 0},
        {"&One &Two", "One Two", 0, 'o'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const MnemonicText parsed = ParseMnemonic(c.text);
        EXPECT_EQ(parsed.display, c.display);
        EXPECT_EQ(parsed.letter, c.letter);
        if (c.letter != 0) {
            EXPECT_EQ(parsed.underlined, c.underlined);
        }
    }
}

class RecordingProcedure final : public IWindowProcedure {
public:
    std::intptr_t HandleMessage(WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        messages.push_back(message);
        return 0;
    }
    std::vector<std::uint32_t> messages;
};

TEST(HeadlessPlatform, WindowMessagesAndClientRect) {
    CHeadlessPlatform platform(640, 480);
    RecordingProcedure procedure;
    ASSERT_TRUE(platform.RegisterWindowClass(WindowClass{"C", &procedure, nullptr, nullptr}));
    EXPECT_FALSE(platform.RegisterWindowClass(WindowClass{"C", &procedure, nullptr, nullptr}));
    EXPECT_EQ(platform.CreateMainWindow("unknown", "T", 1, 1), nullptr);
    const WindowHandle window = platform.CreateMainWindow("C", "T", 1280, 960);
    ASSERT_NE(window, nullptr);

    Rect rect;
    ASSERT_TRUE(platform.GetClientRect(window, rect));
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 480);
    EXPECT_FALSE(platform.GetClientRect(nullptr, rect));

    Message message;
    EXPECT_FALSE(platform.PeekMessage(message)); // nothing waiting: no wait, just false
    platform.QueueMessage(kMessageCommand, 7);
    ASSERT_TRUE(platform.PeekMessage(message));
    EXPECT_EQ(message.window, window);
    platform.DispatchMessage(message);
    EXPECT_EQ(procedure.messages, std::vector<std::uint32_t>{kMessageCommand});

    // The close button's default handling destroys the window.
    platform.DefWindowProc(window, kMessageClose, 0, 0);
    EXPECT_EQ(procedure.messages.back(), kMessageDestroy);
    EXPECT_FALSE(platform.GetClientRect(window, rect));
}

class ScriptedDialog final : public IDialogProcedure {
public:
    explicit ScriptedDialog(IPlatform& platform) : platform_(platform) {}
    bool HandleDialogMessage(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t) override {
        if (message == kMessageCommand) {
            platform_.EndDialog(dialog, static_cast<std::intptr_t>(wParam));
        }
        return true;
    }

private:
    IPlatform& platform_;
};

// Esc and Enter end the About box with their codes in tests/app/ViewerLoopTest.cpp.
TEST(HeadlessPlatform, DialogWithNothingQueuedOrNoParentEndsAtOnce) {
    CHeadlessPlatform platform;
    RecordingProcedure procedure;
    platform.RegisterWindowClass(WindowClass{"C", &procedure, nullptr, nullptr});
    const WindowHandle window = platform.CreateMainWindow("C", "T", 1280, 960);
    ScriptedDialog dialog(platform);
    EXPECT_EQ(platform.DialogBox(DialogTemplate{}, window, dialog), -1);
    EXPECT_FALSE(platform.IsDialogOpen());
    EXPECT_EQ(platform.DialogBox(DialogTemplate{}, nullptr, dialog), -1);
}

} // namespace
} // namespace tavro::platform
