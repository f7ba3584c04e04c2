// Menu 135 (see CContextMenu.h).
#include "shell/CContextMenu.h"

#include <QAction>
#include <QMenu>

#include <vector>

#include "core/CommandIds.h"
#include "shell/CCommandRouter.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

constexpr int kSubMenu = -1;
constexpr int kSubMenuEnd = -2;

// Its own texts: "幅值谱图" (menu 128: "幅值谱(&A)"), and
// "前置零" / "后截除" are the commands at the cursor, not the numeric dialogs of menu 128.
const ContextItem kItems[] = {
    {cmd::kSetHead, "桩头(&T)\tCtrl+T"},
    {cmd::kSetToe, "桩底(&B)\tCtrl+B"},
    {0, nullptr},
    {kSubMenu, "缺陷设置"},
    {32813, "扩径(&K)\tShift+K"},
    {32814, "缩径(&S)\tShift+S"},
    {32815, "断桩(&D)\tShift+D"},
    {32816, "裂纹(&W)\tShift+W"},
    {32817, "夹泥(&J)\tShift+J"},
    {32818, "离析(&L)\tShift+L"},
    {32819, "扩底(&E)\tShift+E"},
    {kSubMenuEnd, nullptr},
    {cmd::kDeleteDefect, "删除缺陷\tAlt+D"},
    {kSubMenu, "桩身完整性类别"},
    {cmd::kClassRule, "按缺陷判定"},
    {cmd::kClassI, "Ⅰ类"},
    {cmd::kClassII, "Ⅱ类"},
    {cmd::kClassIII, "Ⅲ类"},
    {cmd::kClassIV, "Ⅳ类"},
    {kSubMenuEnd, nullptr},
    {0, nullptr},
    {kSubMenu, "波形编辑"},
    {cmd::kVariableArea, "变面积\tCtrl+A"},
    {cmd::kRemoveDC, "去直流\tCtrl+Alt+D"},
    {cmd::kInvert, "波形反向\tCtrl+R"},
    {cmd::kIntegrate, "积分处理\tAlt+I"},
    {cmd::kScale, "刻度\tCtrl+Alt+S"},
    {cmd::kGain, "波形放大\tCtrl+M"},
    {cmd::kFilter, "滤波\tCtrl+F"},
    {cmd::kPreZeroAtCursor, "前置零"},
    {cmd::kPostCutAtCursor, "后截除"},
    {cmd::kToolShift, "波形平移"},
    {cmd::kToolRotate, "波形旋转"},
    {cmd::kDeletePile, "删除波形\tCtrl+D"},
    {kSubMenuEnd, nullptr},
    {cmd::kAmplitudeSpectrum, "幅值谱图\tCtrl+Alt+A"},
    {cmd::kPowerSpectrum, "功率谱图\tCtrl+Alt+P"},
    {cmd::kRestore, "恢复参数\tAlt+R"},
    {0, nullptr},
    {cmd::kPrint, "打印...\tCtrl+P"},
    {cmd::kPrintPreview, "打印预览\tAlt+P"},
    {0, nullptr},
    {cmd::kSaveTraceImage, "当前波形保存为...\tAlt+B"},
};

} // namespace

std::span<const ContextItem> ContextMenuItems() {
    return kItems;
}

bool ContextItemCheckable(int id) {
    return id == cmd::kVariableArea || id == cmd::kRemoveDC || id == cmd::kInvert || id == cmd::kScale ||
           id == cmd::kIntegrate || (id >= cmd::kClassRule && id <= cmd::kClassIV);
}

QMenu* CContextMenu::Build(QWidget* parent) {
    auto* root = new QMenu(parent);
    std::vector<QMenu*> open{root};
    for (const ContextItem& item : kItems) {
        QMenu* menu = open.back();
        if (item.nId == 0) {
            menu->addSeparator();
        } else if (item.nId == kSubMenu) {
            open.push_back(menu->addMenu(QString::fromUtf8(item.szText)));
        } else if (item.nId == kSubMenuEnd) {
            open.pop_back();
        } else {
            QAction* action = menu->addAction(QString::fromUtf8(item.szText));
            action->setData(item.nId);
            const CommandState state = m_router.StateOf(item.nId);
            action->setEnabled(state.enabled);
            if (ContextItemCheckable(item.nId)) {
                action->setCheckable(true);
                action->setChecked(state.checked);
            }
            // Queued: the command runs after the menu has closed, as a chosen item's command does.
            connect(
                action, &QAction::triggered, this, [this, id = item.nId] { m_router.Dispatch(id); },
                Qt::QueuedConnection);
        }
    }
    return root;
}

void CContextMenu::Popup(QWidget* parent, const QPoint& globalPos) {
    QMenu* menu = Build(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

} // namespace pw
