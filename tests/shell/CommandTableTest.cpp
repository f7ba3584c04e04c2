// Menu 128 and the accelerators as the user meets them: stored texts, which command a key really
// sends, and that the menus are built from every command of the table once.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "ShellFixtures.h"
#include "shell/CCommandRouter.h"
#include "shell/CContextMenu.h"
#include "shell/CMainFrame.h"
#include "shell/CommandTable.h"

namespace pw {
namespace {

std::map<int, QString> MenuItems(CMainFrame& frame) {
    std::map<int, QString> items;
    for (QAction* top : frame.menuBar()->actions())
        for (QAction* a : top->menu()->actions())
            if (a->data().isValid()) items[a->data().toInt()] = a->text();
    return items;
}

TEST(ShellCommands, MenuShowsEveryStoredTextExactlyOnce) {
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame(doc, &prompts);
    std::multiset<int> seen;
    for (QAction* top : frame.menuBar()->actions())
        for (QAction* a : top->menu()->actions())
            if (a->data().isValid()) {
                seen.insert(a->data().toInt());
                // A shortcut on a menu action would make Qt append its own hint to texts without a tab.
                EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
            }
    for (const CommandEntry& desc : CommandTable()) {
        if (!desc.szText) continue;
        EXPECT_EQ(seen.count(desc.nId), 1u) << desc.nId;
    }
    // Items whose stored hint named a key that does something else show the real key, or none.
    const std::map<int, QString> items = MenuItems(frame);
    const std::pair<int, const char*> texts[] = {
        {32960, "生成excel报表(&E)..."}, // Shift+E adds the enlarged-base defect
        {32908, "保存选泽波形"},         // Shift+B saves the current trace only
        {32811, "删除缺陷\tAlt+D"},      // Ctrl+Alt+D is DC removal
        {32825, "幅值谱(&A)"},
        {57665, "退出(&X)\tCtrl+E"},
        {59392, "工具栏(&T)"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(items.at(id), QString::fromUtf8(text)) << id;
}

// Every item of menu 128 and of the view's menu 135 (sub-menus included) that shows a key after its
// tab: that key sends that item's command. A menu never advertises a key that does something else.
TEST(ShellCommands, EveryShortcutAMenuShowsRunsThatItem) {
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame(doc, &prompts);
    std::vector<std::pair<int, QString>> shown; // command, text
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (QMenu* sub = a->menu())
                walk(sub);
            else if (a->data().isValid() && a->text().contains(QLatin1Char('\t')))
                shown.emplace_back(a->data().toInt(), a->text());
        }
    };
    for (QAction* top : frame.menuBar()->actions())
        walk(top->menu());
    std::unique_ptr<QMenu> context(frame.ContextMenu().Build(nullptr));
    walk(context.get());
    ASSERT_GT(shown.size(), 40u);
    for (const auto& [id, text] : shown) {
        const QString key = text.section(QLatin1Char('\t'), 1);
        const QKeySequence seq(key, QKeySequence::PortableText);
        EXPECT_FALSE(seq.isEmpty()) << text.toStdString();
        EXPECT_EQ(frame.Router().CommandForKey(seq), id) << text.toStdString();
    }
}

TEST(ShellCommands, KeysSendTheirCommands) {
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame(doc, &prompts);
    const std::pair<const char*, int> keys[] = {
        {"Shift+E", 32819},  {"Ctrl+Alt+D", 32848}, {"Alt+D", 32811},      {"Shift+B", 32829},
        {"Alt+B", 32829},    {"Ctrl+T", 32838},     {"Ctrl+B", 32839},     {"Ctrl+O", 57601},
        {"Alt+S", 57604},    {"Ctrl+E", 57665},     {"Ctrl+Alt+A", 32825}, {"Ctrl+Alt+P", 32826},
        {"Shift+T", 32831},  {"Ctrl+N", 57600},     {"Shift+R", 32830},    {"Ctrl+Alt+R", 32951},
        {"Ctrl+Ins", 57634}, {"Shift+F6", 57681},   {"Alt+F", 32918},      {"Ctrl+Alt+B", 32873},
    };
    for (const auto& [key, id] : keys)
        EXPECT_EQ(frame.Router().CommandForKey(QKeySequence(QString::fromLatin1(key))), id) << key;
    // No key sends two commands, and the Excel item has none of its own.
    std::map<QString, int> owners;
    for (const CommandEntry& desc : CommandTable())
        for (const char* key : desc.szKeys)
            if (key) {
                EXPECT_TRUE(owners.emplace(QString::fromLatin1(key), desc.nId).second) << key;
            }
    for (const CommandEntry& desc : CommandTable())
        if (desc.nId == 32960) {
            EXPECT_EQ(desc.szKeys[0], nullptr);
        }
}

TEST(ShellCommands, KeyPressesReachTheRouterAndDisabledCommandsDoNotRun) {
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame(doc, &prompts);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QSignalSpy sent(&frame.Router(), &CCommandRouter::CommandRequested);
    QTest::keyClick(&frame, Qt::Key_E, Qt::ShiftModifier);
    QTest::keyClick(&frame, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent.at(0).at(0).toInt(), 32819);
    EXPECT_EQ(sent.at(1).at(0).toInt(), 32848);
    EXPECT_EQ(doc.m_bRemoveDC, 1); // no records: DC removal is disabled and did not toggle
}

TEST(ShellCommands, PromptsDropMnemonicHintAndDots) {
    std::string storage;
    const std::pair<int, const char*> cases[] = {
        {57601, "打开"}, {32871, "变面积"}, {32955, "计算器"}, {32830, "生成word报告"}, {32959, "文件合并"}};
    for (const auto& [id, prompt] : cases)
        EXPECT_EQ(CommandPrompt(*FindCommand(id), storage), prompt) << id;
}

} // namespace
} // namespace pw
