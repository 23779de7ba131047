// The editor without its window: commands with their document and tree
// edits, what the panel shows for a selection, the changed flag, and saves
// that fail without losing anything.
#include <gtest/gtest.h>

#include <functional>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "tests/knobset/EditorTesting.h"
#include "tests/knobset/KnobsetTesting.h"
#include "tests/support/Scratch.h"
#include "utils/Knobset/document/EditorRules.h"

namespace {

using namespace Knobset;
using KnobsetTesting::FakeTree;
using KnobsetTesting::ParsedView;

// Two categories; the first has two tweaks (the first with two items, the
// second with a File), the second none.
constexpr char kSmallFile[] =
    "<Tweaks>"
    "<Category n=\"A\" i=\"AQUA.A\">"
    "<Tweak n=\"t1\" ver=\"WIN_XP\" maxver=\"WIN_10\"><d>one</d>"
    "<Key parent=\"HKCU\" path=\"Software\\X\" valuename=\"v\" valuetype=\"REG_SZ\" valueval=\"1\"/>"
    "<Key parent=\"HKXX\" path=\"Software\\Y\" valuetype=\"REG_BINARY\" valuevalbytelen=\"2\" editable=\"set\">"
    "<values><value main=\"1\" val=\"AAA=\" valuevalbytelen=\"2\" descr=\"zero\"/><value "
    "action=\"VALUE_DELETE\"/></values>"
    "</Key></Tweak>"
    "<Tweak n=\"t2\"><File path=\"C:\\T\" name=\"x\" action=\"FILE_DELETE\"/></Tweak>"
    "</Category>"
    "<Category n=\"B\" i=\"AQUA.B\"/>"
    "</Tweaks>";

class EditorTest : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        path_ = PathOf(L"tweaks.xml");
        WriteFile(path_, kSmallFile);
    }

    // Runs a file command and applies its edits; the tree must then mirror
    // the document.
    Editor::CommandResult Run(Editor::CommandResult result)
    {
        tree.Apply(result.edits);
        if (editor.HasDocument()) {
            EXPECT_EQ(tree.Text(), FakeTree::TextOf(editor.GetDocument()));
        }
        return result;
    }
    void Apply(const TreeEdits& edits)
    {
        tree.Apply(edits);
        EXPECT_EQ(tree.Text(), FakeTree::TextOf(editor.GetDocument()));
        EXPECT_EQ(tree.selection, editor.Selection());
    }
    void OpenSmallFile()
    {
        if (editor.IsChanged()) {
            host.answers = {Answer::No};  // drop what the previous case changed
        }
        ASSERT_EQ(Run(editor.OpenPath(path_)).status, 0u);
        ASSERT_FALSE(editor.IsChanged());
    }
    void Select(NodeRef node)
    {
        editor.Select(node);
        tree.selection = node;
    }

    KnobsetTesting::ScriptedHost host;
    KnobsetTesting::SteppingClock clock{1700000000};
    Editor editor{host, clock};
    FakeTree tree;
    std::wstring path_;
};

TEST_F(EditorTest, NewFileShowsTheEightCategoriesUnsavedWithNothingSelected)
{
    EXPECT_FALSE(editor.HasDocument());
    Run(editor.New());
    EXPECT_EQ(tree.Text(),
              L"Windows/System\nFilesystem\nNetwork/Internet\nConfiguration/Appearance\nSecurity Leaks\n"
              L"Privacy Leaks\nApplications Tuning\nCPU/Memory/Hardware\n");
    EXPECT_EQ(editor.GetDocument().categories[3].icon, L"AQUA.MENU.CONFIGAPPEARENCE");
    EXPECT_TRUE(editor.IsChanged());
    EXPECT_TRUE(editor.Path().empty());
    EXPECT_TRUE(editor.Selection().IsNone());
    const Panel panel = editor.CurrentPanel();
    for (const FieldView& f : panel.fields) {
        EXPECT_FALSE(f.enabled);
    }
}

TEST_F(EditorTest, StructureCommandsEditDocumentAndTreeAlike)
{
    OpenSmallFile();
    struct Step {
        const char* what;
        NodeRef select;
        std::function<TreeEdits(Editor&)> command;
        const wchar_t* tree;  // empty: the tree is as before
        NodeRef selectedAfter;
    };
    const Step steps[] = {
        {"Add Tweak on a category", CategoryNode(1), &Editor::AddTweak,
         L"A\n  t1\n    Key\n    Key\n  t2\n    File\nB\n  tweak1700000000\n", CategoryNode(1)},
        {"Add Item on a category does nothing", CategoryNode(1), &Editor::AddItem, L"", CategoryNode(1)},
        {"Add Tweak on a tweak does nothing", TweakNode(0, 0), &Editor::AddTweak, L"", TweakNode(0, 0)},
        {"Add Item on a tweak", TweakNode(1, 0), &Editor::AddItem,
         L"A\n  t1\n    Key\n    Key\n  t2\n    File\nB\n  tweak1700000000\n    Key\n", TweakNode(1, 0)},
        {"Delete Item of a later item selects the one above", ItemNode(0, 0, 1), &Editor::DeleteItem,
         L"A\n  t1\n    Key\n  t2\n    File\nB\n  tweak1700000000\n    Key\n", ItemNode(0, 0, 0)},
        {"Delete Tweak on an item does nothing", ItemNode(0, 1, 0), &Editor::DeleteTweak, L"", ItemNode(0, 1, 0)},
        {"Delete Item of the only item selects its tweak", ItemNode(0, 1, 0), &Editor::DeleteItem,
         L"A\n  t1\n    Key\n  t2\nB\n  tweak1700000000\n    Key\n", TweakNode(0, 1)},
        {"Add Category appends and selects it",
         {},
         &Editor::AddCategory,
         L"A\n  t1\n    Key\n  t2\nB\n  tweak1700000000\n    Key\ncategory1700000000\n",
         CategoryNode(2)},
        {"Delete Category selects the last visible node above", CategoryNode(2), &Editor::DeleteCategory,
         L"A\n  t1\n    Key\n  t2\nB\n  tweak1700000000\n    Key\n", ItemNode(1, 0, 0)},
        {"Delete Tweak selects the previous visible node", TweakNode(1, 0), &Editor::DeleteTweak,
         L"A\n  t1\n    Key\n  t2\nB\n", CategoryNode(1)},
        {"Delete the first category selects the one below", CategoryNode(0), &Editor::DeleteCategory, L"B\n",
         CategoryNode(0)},
    };
    // The user has expanded the nodes that Add commands did not.
    editor.SetExpanded(CategoryNode(0), true);
    editor.SetExpanded(TweakNode(0, 0), true);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (!step.select.IsNone()) {
            Select(step.select);
        }
        const std::wstring before = tree.Text();
        const bool changedBefore = editor.IsChanged();
        Apply(step.command(editor));
        EXPECT_EQ(tree.Text(), *step.tree ? std::wstring(step.tree) : before);
        EXPECT_EQ(editor.Selection(), step.selectedAfter);
        EXPECT_EQ(editor.IsChanged(), changedBefore || *step.tree);
    }
}

TEST_F(EditorTest, DeletingATweakSelectsTheLastItemAboveOnlyWhenItsTweakIsExpanded)
{
    for (const bool expanded : {false, true}) {
        OpenSmallFile();
        editor.SetExpanded(CategoryNode(0), true);
        editor.SetExpanded(TweakNode(0, 0), expanded);
        Select(TweakNode(0, 1));
        Apply(editor.DeleteTweak());
        EXPECT_EQ(editor.Selection(), expanded ? ItemNode(0, 0, 1) : TweakNode(0, 0));
    }
}

TEST_F(EditorTest, PanelShowsTheSelectedNode)
{
    OpenSmallFile();
    struct Case {
        const char* what;
        NodeRef node;
        int choice;
        std::vector<std::pair<Field, const wchar_t*>> shown;  // enabled fields and their texts
        bool choices;
    };
    const Case cases[] = {
        {"category", CategoryNode(0), -1, {{Field::CategoryName, L"A"}, {Field::CategoryIcon, L"AQUA.A"}}, false},
        {"tweak",
         TweakNode(0, 0),
         -1,
         {{Field::TweakName, L"t1"},
          {Field::TweakDescription, L"one"},
          {Field::TweakDetails, L""},
          {Field::TweakVersion, L"WIN_XP"},
          {Field::TweakMaxVersion, L"WIN_10"},
          {Field::TweakManageableOff, L""}},
         false},
        {"plain key: no choices, no byte length, no valuedescr, editable shown as no",
         ItemNode(0, 0, 0),
         -1,
         {{Field::KeyAction, L"VALUE_SET"},
          {Field::KeyParent, L"HKCU"},
          {Field::KeyValueType, L"REG_SZ"},
          {Field::KeyPath, L"Software\\X"},
          {Field::KeyKeyname, L""},
          {Field::KeyValueName, L"v"},
          {Field::KeyValue, L"1"},
          {Field::KeyEditable, L"no"}},
         false},
        {"binary key with a set of choices, the first chosen",
         ItemNode(0, 0, 1),
         0,
         {{Field::KeyAction, L"VALUE_SET"},
          {Field::KeyParent, L"HKXX"},
          {Field::KeyValueType, L"REG_BINARY"},
          {Field::KeyPath, L"Software\\Y"},
          {Field::KeyKeyname, L""},
          {Field::KeyValueName, L""},
          {Field::KeyByteLength, L"2"},
          {Field::KeyValue, L""},
          {Field::KeyEditable, L"set"},
          {Field::ChoiceMain, L"1"},
          {Field::ChoiceVal, L"AAA="},
          {Field::ChoiceAction, L"VALUE_SET"},
          {Field::ChoiceByteLength, L"2"},
          {Field::ChoiceDescr, L"zero"}},
         true},
        {"a File item only shows its type", ItemNode(0, 1, 0), -1, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        editor.Select(c.node);
        editor.SelectChoice(c.choice);
        const Panel panel = editor.CurrentPanel();
        for (size_t f = 0; f < kFieldCount; ++f) {
            const auto found = std::find_if(c.shown.begin(), c.shown.end(),
                                            [f](const auto& s) { return static_cast<size_t>(s.first) == f; });
            SCOPED_TRACE(f);
            EXPECT_EQ(panel.fields[f].enabled, found != c.shown.end());
            if (found != c.shown.end()) {
                EXPECT_EQ(panel.fields[f].text, found->second);
            }
        }
        EXPECT_EQ(panel.choicesEnabled, c.choices);
        EXPECT_EQ(panel.addTweakEnabled, c.node.Depth() == 0);
        EXPECT_EQ(panel.addItemEnabled, c.node.Depth() == 1);
        EXPECT_EQ(panel.deleteItemEnabled, c.node.Depth() == 2);
        EXPECT_EQ(editor.IsChanged(), false);
    }
    // The item's type is shown for every item, never edited.
    editor.Select(ItemNode(0, 1, 0));
    EXPECT_EQ(editor.CurrentPanel()[Field::ItemType].text, L"File");
    // Lists offer every keyword and the text read from the file.
    editor.Select(ItemNode(0, 0, 1));
    const Panel key = editor.CurrentPanel();
    EXPECT_EQ(key.choices, (std::vector<std::wstring>{L"value", L"value"}));
    EXPECT_EQ(key[Field::KeyParent].entries.back(), L"HKXX");
    EXPECT_EQ(key[Field::KeyAction].entries.size(), 9u);
    // The newest version offers none (an empty entry) and every version keyword.
    editor.Select(TweakNode(0, 1));
    const Panel tweak = editor.CurrentPanel();
    EXPECT_TRUE(tweak[Field::TweakMaxVersion].enabled);
    EXPECT_EQ(tweak[Field::TweakMaxVersion].text, L"");
    EXPECT_EQ(tweak[Field::TweakMaxVersion].entries, MaxVersionChoices(L""));
    EXPECT_EQ(tweak[Field::TweakMaxVersion].entries.front(), L"");
    EXPECT_NE(
        std::find(key[Field::KeyValueType].entries.begin(), key[Field::KeyValueType].entries.end(), L"REG_EXPAND_SZ"),
        key[Field::KeyValueType].entries.end());
}

TEST_F(EditorTest, TheChangedFlagFollowsWhatTheUserChanges)
{
    struct Case {
        const char* what;
        NodeRef node;
        Field field;
        const wchar_t* text;
        bool filling;
        bool changes;
        const wchar_t* stored;  // the text in the document afterwards
    };
    const Case cases[] = {
        {"typing a new name", TweakNode(0, 0), Field::TweakName, L"renamed", false, true, L"renamed"},
        {"the same text again", TweakNode(0, 0), Field::TweakName, L"t1", false, false, L"t1"},
        {"the panel being filled", TweakNode(0, 0), Field::TweakName, L"other", true, false, L"t1"},
        {"an empty version shown as WIN_32", TweakNode(0, 1), Field::TweakVersion, L"WIN_32", false, false, L""},
        {"an empty editable shown as no", ItemNode(0, 0, 0), Field::KeyEditable, L"no", false, false, L""},
        {"a choice's empty action shown as VALUE_SET", ItemNode(0, 0, 1), Field::ChoiceAction, L"VALUE_SET", false,
         false, L""},
        {"checking Set Manageable to 0", TweakNode(0, 0), Field::TweakManageableOff, L"1", false, true, L"0"},
        {"choosing a newest version", TweakNode(0, 1), Field::TweakMaxVersion, L"WIN_XP", false, true, L"WIN_XP"},
        {"no newest version, as before", TweakNode(0, 1), Field::TweakMaxVersion, L"", false, false, L""},
        {"a field of another kind of node", CategoryNode(0), Field::KeyPath, L"x", false, false, nullptr},
        {"the type of an item", ItemNode(0, 0, 0), Field::ItemType, L"File", false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenSmallFile();
        Select(c.node);
        editor.SelectChoice(0);
        TreeEdits edits;
        if (c.filling) {
            Editor::FillScope filling(editor);
            edits = editor.SetField(c.field, c.text);
        } else {
            edits = editor.SetField(c.field, c.text);
        }
        EXPECT_EQ(editor.IsChanged(), c.changes);
        if (c.stored) {
            const Document& d = editor.GetDocument();
            const std::wstring stored =
                c.field == Field::TweakName      ? d.categories[0].tweaks[0].name
                : c.field == Field::TweakVersion    ? d.categories[0].tweaks[1].ver
                : c.field == Field::TweakMaxVersion ? d.categories[0].tweaks[1].maxver
                : c.field == Field::KeyEditable  ? d.categories[0].tweaks[0].items[0].key.editable
                : c.field == Field::ChoiceAction ? d.categories[0].tweaks[0].items[1].key.choices[0].action
                                                 : d.categories[0].tweaks[0].manageable;
            EXPECT_EQ(stored, c.stored);
        }
        Apply(edits);  // a renamed tweak is renamed in the tree
    }
}

TEST_F(EditorTest, ChoicesAreAddedSelectedAndDeleted)
{
    OpenSmallFile();
    editor.Select(ItemNode(0, 0, 0));
    EXPECT_FALSE(editor.AddChoice());  // editable is not "set"
    editor.Select(ItemNode(0, 0, 1));
    ASSERT_TRUE(editor.AddChoice());
    EXPECT_EQ(editor.SelectedChoice(), 2);
    EXPECT_TRUE(editor.IsChanged());
    (void)editor.SetField(Field::ChoiceDescr, L"third");
    editor.SelectChoice(0);
    ASSERT_TRUE(editor.DeleteChoice());
    EXPECT_EQ(editor.SelectedChoice(), 0);
    const Key& key = editor.GetDocument().categories[0].tweaks[0].items[1].key;
    ASSERT_EQ(key.choices.size(), 2u);
    EXPECT_EQ(key.choices[0].action, L"VALUE_DELETE");
    EXPECT_EQ(key.choices[1].descr, L"third");
}

TEST_F(EditorTest, AFailedSaveKeepsEverythingAndStopsWhatAskedForIt)
{
    struct Case {
        const char* what;
        std::function<Editor::CommandResult(Editor&)> command;
    };
    const Case cases[] = {
        {"Save", &Editor::Save},
        {"New file", &Editor::New},
        {"Open file", &Editor::Open},
        {"Close", &Editor::Close},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenSmallFile();
        Select(TweakNode(0, 0));
        Apply(editor.SetField(Field::TweakName, L"edited"));
        const Document edited = editor.GetDocument();
        host.answers = {Answer::Yes};
        host.openChoice = PathOf(L"other.xml");
        host.messages.clear();

        Platform::UniqueFile holder;  // another program holds the file without letting it be replaced
        ASSERT_EQ(Fs().CreateFile(path_, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, holder.put()),
                  0u);
        const Editor::CommandResult result = Run(c.command(editor));
        holder.reset();

        EXPECT_NE(result.status, 0u);
        EXPECT_TRUE(editor.IsChanged());
        EXPECT_EQ(editor.Path(), path_);
        EXPECT_EQ(editor.GetDocument(), edited);
        EXPECT_EQ(tree.Text(), FakeTree::TextOf(edited));
        EXPECT_EQ(ReadFile(path_), kSmallFile);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].find(L"Warning!: The document could not be saved to\n" + path_), std::wstring::npos);
    }
}

TEST_F(EditorTest, TheSaveQuestionHasThreeAnswers)
{
    struct Case {
        Answer answer;
        bool newDocument;  // New went on
        bool saved;
    };
    for (const Case c :
         {Case{Answer::Yes, true, true}, Case{Answer::No, true, false}, Case{Answer::Cancel, false, false}}) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        OpenSmallFile();
        Select(CategoryNode(1));
        Apply(editor.AddTweak());
        host.answers = {c.answer};
        host.questions.clear();
        const Editor::CommandResult result = Run(editor.New());
        EXPECT_EQ(host.questions,
                  std::vector<std::wstring>{L"Warning!: Document was changed. Do you want to save it?"});
        EXPECT_EQ(result.status, c.newDocument ? 0u : 1223u);
        EXPECT_EQ(editor.GetDocument().categories.size(), c.newDocument ? 8u : 2u);
        EXPECT_EQ(ReadFile(path_).find("tweak1700000000") != std::string::npos, c.saved);
        WriteFile(path_, kSmallFile);
    }
}

TEST_F(EditorTest, SavingAnUnchangedDocumentHasNothingToSave)
{
    OpenSmallFile();
    EXPECT_EQ(Run(editor.Save()).status, 0u);
    EXPECT_EQ(host.messages, std::vector<std::wstring>{L"Warning!: There is nothing to save"});
}

TEST_F(EditorTest, SaveAsWritesToTheChosenFileAndRemembersIt)
{
    Run(editor.New());
    host.saveChoice.reset();
    EXPECT_EQ(Run(editor.Save()).status, 1223u);  // a new document asks for a path; cancelled
    EXPECT_TRUE(editor.IsChanged());
    host.saveChoice = PathOf(L"new.xml");
    EXPECT_EQ(Run(editor.Save()).status, 0u);
    EXPECT_EQ(editor.Path(), PathOf(L"new.xml"));
    EXPECT_FALSE(editor.IsChanged());
    EXPECT_NE(ReadFile(PathOf(L"new.xml")).find("<Category n=\"CPU/Memory/Hardware\""), std::string::npos);
}

TEST_F(EditorTest, EditingOneFieldOfAHandWrittenFileChangesOnlyThatField)
{
    const std::wstring source = KnobsetTesting::DataFileText("handwritten.xml");
    WriteFile(path_, KnobsetTesting::ReadDataFile("handwritten.xml"));
    OpenSmallFile();
    Select(TweakNode(0, 0));
    Apply(editor.SetField(Field::TweakDescription, L"Shows menus at once"));
    ASSERT_EQ(Run(editor.Save()).status, 0u);

    std::wstring saved;
    ASSERT_EQ(Text::Utf8ToWide(ReadFile(path_), &saved), 0u);
    std::wstring expected = ParsedView::Of(source);
    expected.replace(expected.find(L"Shows menus faster"), 18, L"Shows menus at once");
    EXPECT_EQ(ParsedView::Of(saved), expected);
}

TEST_F(EditorTest, OpeningShowsTheValidatorsFindingsAndRenamesInTheTree)
{
    WriteFile(
        path_,
        "<Tweaks><Category n=\"Filesystem\"><Tweak n=\"empty\"/></Category><Category n=\"Filesystem\"/></Tweaks>");
    const Editor::CommandResult result = Run(editor.OpenPath(path_));
    EXPECT_EQ(result.status, 0u);
    EXPECT_EQ(tree.Text(), L"Filesystem!1700000000\n  empty\nFilesystem\n");
    EXPECT_EQ(result.mistakes,
              L"\nEqual names of categories detected! One of twins name was changed: Filesystem!1700000000"
              L"\nNo any Item in Tweak: Filesystem!1700000000\\empty");
    EXPECT_TRUE(editor.IsChanged());  // the new name must reach the file
}

TEST_F(EditorTest, AFileThatCannotBeReadSaysWhyAndKeepsTheDocument)
{
    Run(editor.New());
    WriteFile(path_, "<Tweaks>\n<Category n=\"A\">\n</Tweaks>");
    host.answers = {Answer::No};
    const Editor::CommandResult result = Run(editor.OpenPath(path_));
    EXPECT_NE(result.status, 0u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind(L"Warning!: File is incorrect and couldn`t be opened!\n\n" + path_ + L"\n", 0),
              0u);
    EXPECT_EQ(host.messages[0].substr(host.messages[0].rfind(L'\n') + 1),
              L"Line 3: End tag does not correspond to Category");
    EXPECT_EQ(editor.GetDocument().categories.size(), 8u);
    EXPECT_TRUE(editor.Path().empty());
}

TEST_F(EditorTest, HelpOpensKnhlpBesideTheProgram)
{
    for (const bool works : {true, false}) {
        host.shellWorks = works;
        host.messages.clear();
        EXPECT_EQ(editor.Help(L"C:\\Program Files\\Corvane"), L"C:\\Program Files\\Corvane\\knhlp.chm");
        EXPECT_EQ(host.opened.back(), L"C:\\Program Files\\Corvane\\knhlp.chm");
        EXPECT_EQ(host.messages.empty(), works);
    }
    EXPECT_EQ(host.messages, std::vector<std::wstring>{L"Warning!: Can`t open knhlp.chm"});
}

}  // namespace
