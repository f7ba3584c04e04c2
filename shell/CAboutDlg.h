// The About box "关于分析软件".
#pragma once

#include <QDialog>

namespace pw {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace pw
