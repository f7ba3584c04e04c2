// The miniature page of the print format page: header and footer lines with the texts as typed (a
// sample page number after the footer) and the grid of trace boxes, rows x columns.
#pragma once

#include <QWidget>

namespace pw {

class CPrintPreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit CPrintPreviewBox(QWidget* parent = nullptr);
    void SetGrid(int rows, int columns); // repaints; nothing is drawn while either is out of range
    void SetTexts(const QString& header, const QString& footer); // repaints

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nRows = 0, m_nColumns = 0;
    QString m_strHeader, m_strFooter;
};

} // namespace pw
