// The two-file merge dialog "wvf文件合并": two paths, each with a browse button.
#pragma once

#include <QDialog>

class QLineEdit;

namespace pw {

class CMergeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMergeDlg(QWidget* parent = nullptr);
    QString Path1() const;
    QString Path2() const;

private:
    void Browse(QLineEdit* field);
    QLineEdit* m_pFile1;
    QLineEdit* m_pFile2;
};

} // namespace pw
