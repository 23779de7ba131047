// The real Knobset dialog, created in-process with scripted questions and
// file choices, driven with the messages a user's clicks and keys send:
// selecting tree nodes, typing into fields, picking list entries, clicking
// buttons. What is checked is what the user would see (control texts, the
// tree, enabled states) and what lands on the disk.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/knobset/EditorTesting.h"
#include "tests/knobset/KnobsetTesting.h"
#include "tests/support/Scratch.h"
#include "utils/Knobset/app/KnobsetApp.h"
#include "utils/Knobset/app/KnobsetDlg.h"
#include "utils/Knobset/app/resource.h"

namespace {

using KnobsetTesting::ParsedView;

constexpr char kSmallFile[] =
    "<Tweaks><Category n=\"A\" i=\"AQUA.A\"><Tweak n=\"t1\" ver=\"WIN_XP\"><d>one</d>"
    "<Key parent=\"HKCU\" path=\"Software\\X\" valuename=\"v\" valuetype=\"REG_SZ\" valueval=\"1\"/>"
    "</Tweak></Category></Tweaks>";

class KnobsetDialog : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        path_ = PathOf(L"tweaks.xml");
        WriteFile(path_, kSmallFile);
    }

    void TearDown() override
    {
        dialog_.reset();
        ScratchTest::TearDown();
    }

    void Start(const std::wstring& fileToOpen = {})
    {
        dialog_ = std::make_unique<CKnobsetDlg>(::GetModuleHandleW(nullptr), fileToOpen, &host, &clock);
        window_ = dialog_->Create();
        ASSERT_NE(window_, nullptr) << "the dialog was not created (error " << ::GetLastError() << ")";
    }

    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    HWND Tree() const { return Control(IDC_TREE); }

    void Click(int id) { ::SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void Type(int id, const std::wstring& text) { ::SetWindowTextW(Control(id), text.c_str()); }
    void Pick(int id, const std::wstring& entry)
    {
        LRESULT index = ::SendMessageW(Control(id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry.c_str()));
        // The list finds no empty text: the empty entry is the one of no length.
        const LRESULT count = ::SendMessageW(Control(id), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; entry.empty() && i < count; ++i) {
            if (::SendMessageW(Control(id), CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) == 0) {
                index = i;
                break;
            }
        }
        ASSERT_NE(index, CB_ERR) << "no list entry like that";
        ::SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(id)));
    }
    std::wstring Text(int id) const
    {
        wchar_t buffer[1024] = {};
        ::GetWindowTextW(Control(id), buffer, 1024);
        return buffer;
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }

    static std::wstring ItemText(HWND tree, HTREEITEM item)
    {
        wchar_t buffer[512] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = 512;
        TreeView_GetItem(tree, &tv);
        return buffer;
    }

    // The node reached by the texts of its category, tweak and item.
    HTREEITEM Node(std::initializer_list<std::wstring> texts) const
    {
        HTREEITEM item = nullptr;
        HTREEITEM child = TreeView_GetRoot(Tree());
        for (const std::wstring& text : texts) {
            while (child && ItemText(Tree(), child) != text) {
                child = TreeView_GetNextSibling(Tree(), child);
            }
            if (!child) {
                ADD_FAILURE() << "no tree node like that";
                return nullptr;
            }
            item = child;
            child = TreeView_GetChild(Tree(), item);
        }
        return item;
    }
    void SelectNode(std::initializer_list<std::wstring> texts) { TreeView_SelectItem(Tree(), Node(texts)); }

    // The tree's texts, one line per node, indented by depth.
    std::wstring TreeText() const
    {
        std::wstring out;
        Dump(TreeView_GetRoot(Tree()), 0, &out);
        return out;
    }
    void Dump(HTREEITEM item, int depth, std::wstring* out) const
    {
        for (; item; item = TreeView_GetNextSibling(Tree(), item)) {
            out->append(static_cast<size_t>(depth) * 2, L' ');
            *out += ItemText(Tree(), item) + L"\n";
            Dump(TreeView_GetChild(Tree(), item), depth + 1, out);
        }
    }

    const Knobset::Editor& Editor() const { return dialog_->GetEditor(); }

    KnobsetTesting::ScriptedHost host;
    KnobsetTesting::SteppingClock clock{1700000000};
    std::unique_ptr<CKnobsetDlg> dialog_;
    HWND window_ = nullptr;
    std::wstring path_;
};

TEST_F(KnobsetDialog, StartsEmptyWithEveryGroupDisabled)
{
    Start();
    EXPECT_EQ(TreeText(), L"");
    for (int id : {IDC_CATEGORY_NAME, IDC_TWEAK_NAME, IDC_KEY_PATH, IDC_CHOICES, IDC_ADD_TWEAK, IDC_ADD_ITEM}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Enabled(IDC_OPEN_FILE));
    EXPECT_TRUE(Enabled(IDC_NEW_FILE));
}

TEST_F(KnobsetDialog, NewFileHasTheEightCategories)
{
    Start();
    Click(IDC_NEW_FILE);
    EXPECT_EQ(TreeText(),
              L"Windows/System\nFilesystem\nNetwork/Internet\nConfiguration/Appearance\nSecurity Leaks\n"
              L"Privacy Leaks\nApplications Tuning\nCPU/Memory/Hardware\n");
    SelectNode({L"Security Leaks"});
    EXPECT_EQ(Text(IDC_CATEGORY_ICON), L"AQUA.MENU.SECURITYLEAKS");
    EXPECT_TRUE(Enabled(IDC_CATEGORY_NAME));
    EXPECT_FALSE(Enabled(IDC_TWEAK_NAME));
    EXPECT_TRUE(Editor().IsChanged());
}

TEST_F(KnobsetDialog, OpensAHandWrittenFileAndSavesOneEditedFieldAndNothingElse)
{
    const std::string original = KnobsetTesting::ReadDataFile("handwritten.xml");
    WriteFile(path_, original);
    host.openChoice = path_;
    Start();
    Click(IDC_OPEN_FILE);
    EXPECT_EQ(Text(IDC_STATUS), path_);
    EXPECT_EQ(TreeText(),
              L"Windows/System\n  Menu delay\n    Key\n    Key\n    Key\n  Lower-case element\n    File\n"
              L"    Shortcut\nСеть/Интернет\n  Größe 日本語 🎛\n    Key\n    Key\n");

    SelectNode({L"Сеть/Интернет", L"Größe 日本語 🎛"});
    EXPECT_EQ(Text(IDC_TWEAK_NAME), L"Größe 日本語 🎛");
    EXPECT_EQ(Text(IDC_TWEAK_DESCRIPTION), L"Ünïcödé — description ✓");
    EXPECT_EQ(Text(IDC_TWEAK_VERSION), L"WIN_11");  // a keyword the old list lacked, shown as read
    EXPECT_EQ(::IsDlgButtonChecked(window_, IDC_TWEAK_MANAGEABLE), BST_CHECKED);
    SelectNode({L"Сеть/Интернет", L"Größe 日本語 🎛", L"Key"});
    EXPECT_EQ(Text(IDC_KEY_PATH), L"Software\\Ελληνικά");
    EXPECT_TRUE(Enabled(IDC_CHOICES));
    EXPECT_EQ(::SendMessageW(Control(IDC_CHOICES), LB_GETCOUNT, 0, 0), 3);
    SelectNode({L"Windows/System", L"Lower-case element", L"Shortcut"});
    EXPECT_EQ(Text(IDC_ITEM_TYPE), L"Shortcut");
    EXPECT_FALSE(Enabled(IDC_KEY_PATH));
    EXPECT_FALSE(Editor().IsChanged()) << "showing nodes changed the document";

    SelectNode({L"Windows/System", L"Menu delay"});
    EXPECT_EQ(Text(IDC_TWEAK_DESCRIPTION), L"Shows menus faster");
    Type(IDC_TWEAK_DESCRIPTION, L"Shows menus at once");
    EXPECT_TRUE(Editor().IsChanged());
    Click(IDC_SAVE);
    EXPECT_FALSE(Editor().IsChanged());

    std::wstring source;
    std::wstring saved;
    ASSERT_EQ(Text::Utf8ToWide(original, &source), 0u);
    ASSERT_EQ(Text::Utf8ToWide(ReadFile(path_), &saved), 0u);
    std::wstring expected = ParsedView::Of(source);
    expected.replace(expected.find(L"Shows menus faster"), 18, L"Shows menus at once");
    EXPECT_EQ(ParsedView::Of(saved), expected);
}

TEST_F(KnobsetDialog, ListsAndCheckBoxesWriteIntoTheDocument)
{
    Start(path_);
    SelectNode({L"A", L"t1", L"Key"});
    EXPECT_EQ(Text(IDC_KEY_EDITABLE), L"no");
    EXPECT_FALSE(Enabled(IDC_CHOICES));
    Pick(IDC_KEY_EDITABLE, L"set");
    EXPECT_TRUE(Enabled(IDC_CHOICES));
    Click(IDC_CHOICE_ADD);
    EXPECT_EQ(::SendMessageW(Control(IDC_CHOICES), LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Enabled(IDC_CHOICE_VAL));
    Click(IDC_CHOICE_MAIN);
    Type(IDC_CHOICE_VAL, L"2");
    Pick(IDC_KEY_VALUETYPE, L"REG_BINARY");
    EXPECT_TRUE(Enabled(IDC_KEY_BYTELEN));

    // The newest version: none at first, then one picked, then none again.
    SelectNode({L"A", L"t1"});
    EXPECT_TRUE(Enabled(IDC_TWEAK_MAXVERSION));
    EXPECT_EQ(Text(IDC_TWEAK_MAXVERSION), L"");
    EXPECT_EQ(::SendMessageW(Control(IDC_TWEAK_MAXVERSION), CB_GETCOUNT, 0, 0), 10);  // none and nine versions
    Pick(IDC_TWEAK_MAXVERSION, L"WIN_10");
    EXPECT_EQ(Editor().GetDocument().categories[0].tweaks[0].maxver, L"WIN_10");
    SelectNode({L"A"});
    EXPECT_FALSE(Enabled(IDC_TWEAK_MAXVERSION));
    SelectNode({L"A", L"t1"});
    EXPECT_EQ(Text(IDC_TWEAK_MAXVERSION), L"WIN_10");
    Pick(IDC_TWEAK_MAXVERSION, L"");
    EXPECT_EQ(Editor().GetDocument().categories[0].tweaks[0].maxver, L"");

    const Knobset::Key& key = Editor().GetDocument().categories[0].tweaks[0].items[0].key;
    EXPECT_EQ(key.editable, L"set");
    EXPECT_EQ(key.valuetype, L"REG_BINARY");
    ASSERT_EQ(key.choices.size(), 1u);
    EXPECT_EQ(key.choices[0].main, L"1");
    EXPECT_EQ(key.choices[0].val, L"2");
    EXPECT_TRUE(Editor().IsChanged());
}

TEST_F(KnobsetDialog, ASaveRefusedByAnotherProgramKeepsTheEditsAndTheOldFile)
{
    Start(path_);
    SelectNode({L"A", L"t1"});
    Type(IDC_TWEAK_NAME, L"renamed");
    EXPECT_EQ(TreeText(), L"A\n  renamed\n    Key\n");

    HANDLE holder = ::CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Click(IDC_SAVE);
    ::CloseHandle(holder);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind(L"Warning!: The document could not be saved to\n" + path_ + L"\n", 0), 0u)
        << "the message names the file";
    EXPECT_TRUE(Editor().IsChanged());
    EXPECT_EQ(Text(IDC_STATUS), path_);
    EXPECT_EQ(ReadFile(path_), kSmallFile);
    EXPECT_FALSE(Exists(path_ + L".tmp"));
}

TEST_F(KnobsetDialog, TheValidatorsFindingsAreShownAfterOpening)
{
    WriteFile(path_,
              "<Tweaks><Category n=\"Filesystem\"><Tweak n=\"t\"><Key parent=\"HKLM\" path=\"HKLM\\Software\"/>"
              "</Tweak></Category><Category n=\"Filesystem\"/></Tweaks>");
    Start(path_);
    EXPECT_EQ(TreeText(), L"Filesystem!1700000000\n  t\n    Key\nFilesystem\n");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              L"Warning! Document has mistakes!: "
              L"\nEqual names of categories detected! One of twins name was changed: Filesystem!1700000000"
              L"\nPropably incorrect path for key Item (can include root directory): Filesystem!1700000000\\t\\Item0");
}

TEST_F(KnobsetDialog, AFileNamedOnTheCommandLineOpens)
{
    EXPECT_EQ(CKnobsetApp::FileFromCommandLine(L"\"C:\\Program Files\\Corvane\\Knobset.exe\" \"C:\\My tweaks.xml\""),
              L"C:\\My tweaks.xml");
    EXPECT_EQ(CKnobsetApp::FileFromCommandLine(L"Knobset.exe"), L"");
    Start(CKnobsetApp::FileFromCommandLine((L"Knobset.exe \"" + path_ + L"\"").c_str()));
    EXPECT_EQ(TreeText(), L"A\n  t1\n    Key\n");
    EXPECT_EQ(Text(IDC_STATUS), path_);
    EXPECT_FALSE(Editor().IsChanged());
}

TEST_F(KnobsetDialog, EveryWayOfClosingAsksAboutUnsavedChanges)
{
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
    } ways[] = {
        {"Enter", WM_COMMAND, IDOK},
        {"Esc", WM_COMMAND, IDCANCEL},
        {"the close box", WM_SYSCOMMAND, SC_CLOSE},
        {"WM_CLOSE", WM_CLOSE, 0},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        Start(path_);
        SelectNode({L"A"});
        Type(IDC_CATEGORY_NAME, L"B");
        host.questions.clear();
        host.answers = {Knobset::Answer::Cancel, Knobset::Answer::No};
        ::SendMessageW(window_, way.message, way.wParam, 0);
        EXPECT_TRUE(::IsWindow(window_)) << "closed although the user cancelled";
        ::SendMessageW(window_, way.message, way.wParam, 0);
        EXPECT_FALSE(::IsWindow(window_));
        EXPECT_EQ(host.questions.size(), 2u);
        EXPECT_EQ(ReadFile(path_), kSmallFile);
        dialog_.reset();
    }
}

TEST_F(KnobsetDialog, AddTweakWaitsForItsTimerBeforeTheNextOne)
{
    Start(path_);
    SelectNode({L"A"});
    Click(IDC_ADD_TWEAK);
    EXPECT_FALSE(Enabled(IDC_ADD_TWEAK));
    Click(IDC_ADD_TWEAK);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_ADD_TWEAK, BN_CLICKED), 0);  // as the pop-up menu does
    EXPECT_EQ(TreeText(), L"A\n  t1\n    Key\n  tweak1700000000\n");
    ::SendMessageW(window_, WM_TIMER, 1, 0);
    EXPECT_TRUE(Enabled(IDC_ADD_TWEAK));
}

TEST_F(KnobsetDialog, DeletingSelectsThePreviousVisibleNode)
{
    Start(path_);
    SelectNode({L"A", L"t1", L"Key"});
    Click(IDC_DELETE_ITEM);
    EXPECT_EQ(TreeText(), L"A\n  t1\n");
    EXPECT_EQ(Text(IDC_TWEAK_NAME), L"t1");  // the tweak is selected and shown
    Click(IDC_DELETE_TWEAK);
    EXPECT_EQ(TreeText(), L"A\n");
    EXPECT_EQ(Text(IDC_CATEGORY_NAME), L"A");
    EXPECT_EQ(ItemText(Tree(), TreeView_GetSelection(Tree())), L"A");
}

// The window's icon is the one the artwork generator draws under the
// program's icon id, carried at every size the shell asks for.
TEST_F(KnobsetDialog, TheIconIsOurArtworkAtEverySize)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* directory = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(directory, nullptr);
    // GRPICONDIR: reserved, type, count; then 14-byte entries starting with width.
    const int count = directory[4] | (directory[5] << 8);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        const int width = directory[6 + 14 * i];
        sizes.push_back(width == 0 ? 256 : width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 48, 256}));

    Start();
    EXPECT_NE(::SendMessageW(window_, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(::SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(KnobsetDialog, HelpOpensKnhlpBesideTheProgramAndAboutIsInTheSystemMenu)
{
    Start();
    Click(IDHELP);
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder(program);
    folder.resize(folder.find_last_of(L'\\'));
    EXPECT_EQ(host.opened, std::vector<std::wstring>{folder + L"\\knhlp.chm"});

    wchar_t about[64] = {};
    ::GetMenuStringW(::GetSystemMenu(window_, FALSE), IDM_ABOUTBOX, about, 64, MF_BYCOMMAND);
    EXPECT_STREQ(about, L"&About Knobset...");
}

}  // namespace

// For tools/screenshots.sh: shows the dialog with a document open and an item
// selected, and keeps it on the screen for CORVANE_SCREENSHOT_HOLD_MS. Skipped
// otherwise, since showing a window costs seconds under Wine.
TEST_F(KnobsetDialog, ShowsADocumentWithAnItemSelectedForAScreenshot)
{
    wchar_t hold[32] = {};
    if (::GetEnvironmentVariableW(L"CORVANE_SCREENSHOT_HOLD_MS", hold, 32) == 0) {
        GTEST_SKIP() << "only for screenshots";
    }
    WriteFile(path_, KnobsetTesting::ReadDataFile("handwritten.xml"));
    Start(path_);
    host.messages.clear();
    TreeView_Expand(Tree(), Node({L"Windows/System"}), TVE_EXPAND);
    TreeView_Expand(Tree(), Node({L"Windows/System", L"Menu delay"}), TVE_EXPAND);
    TreeView_Expand(Tree(), Node({L"Сеть/Интернет"}), TVE_EXPAND);
    TreeView_Expand(Tree(), Node({L"Сеть/Интернет", L"Größe 日本語 🎛"}), TVE_EXPAND);
    SelectNode({L"Сеть/Интернет", L"Größe 日本語 🎛", L"Key"});
    ::SendMessageW(Control(IDC_CHOICES), LB_SETCURSEL, 0, 0);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_CHOICES, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Control(IDC_CHOICES)));
    ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(_wtoi(hold));
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(20);
    }
    EXPECT_TRUE(::IsWindowVisible(window_));
    EXPECT_FALSE(Editor().IsChanged());
}
