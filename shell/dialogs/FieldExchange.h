// The dialogs' data exchange: numbers parsed from edits as the framework parses them, the limit
// texts, and a guard that checks a field when it loses the focus and every field again on OK.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/CDate.h"

class QAbstractButton;
class QDialog;
class QDialogButtonBox;
class QLineEdit;

namespace pw {

class CShellPrompts;

// Blanks around the number are allowed; anything else after it, an empty text, or a value that is
// not finite is not a number. Integers must fit [lo, hi] (the field's storage type).
std::optional<double> ParseNumber(const QString& text);
std::optional<int> ParseInteger(const QString& text, int lo, int hi);
QString FormatNumber(float value); // as the exchange shows a float: "%.6g"

// OK and Cancel with the dialog's own texts; OK calls the dialog's accept(), which checks.
QDialogButtonBox* MakeOkCancel(QDialog* dialog, const QString& ok = QStringLiteral("确定"),
                               const QString& cancel = QStringLiteral("取消"));
// A control's name in the dialog resource ("id1094"), so tests and screenshots find it.
QString ControlName(int id);

inline QDate ToQDate(const CDate& d) {
    return QDate(d.nYear, d.nMonth, d.nDay);
}
inline CDate FromQDate(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

class CFieldGuard : public QObject {
    Q_OBJECT
public:
    // cancel: focus moving to it does not check the field being left (Cancel changes nothing anyway).
    CFieldGuard(QDialog& dialog, CShellPrompts& prompts, QAbstractButton* cancel = nullptr);

    // A number edit, parsed with "请键入一个数。". With a check (returning "" or the message) the field
    // is checked when it loses the focus and again on OK, and a refusal puts the previous text back;
    // without one it is parsed on OK only.
    void AddNumber(QLineEdit* edit, std::function<std::string(float)> check = {});
    // An integer edit of the given storage range ("请键入一个整数。"); check as above; okRange: the
    // declared limit, tested on OK only with the "“请填入一个在%1和%2之间的整数。”" text.
    void AddInteger(QLineEdit* edit, int lo, int hi, std::function<std::string(int)> check = {},
                    std::optional<std::pair<int, int>> okRange = std::nullopt);
    // An integer edit added above whose 0 shows as a word ("自动"): the word reads as 0.
    void SetZeroText(QLineEdit* edit, const QString& word);
    // A text of at most maxChars characters, tested on OK.
    void AddText(QWidget* widget, std::function<QString()> text, int maxChars);

    // OK: every field in the order added. False after the first refusal (its message shown, the
    // focus on its control).
    bool CheckAll();
    // The edit's text as the last accepted value (after the dialog filled it).
    void Accept(QLineEdit* edit);

    std::optional<double> Number(QLineEdit* edit) const;
    std::optional<int> Integer(QLineEdit* edit) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Kind { Number, Integer, Text };
    struct Field {
        QWidget* widget = nullptr;
        QLineEdit* edit = nullptr;
        Kind kind = Kind::Text;
        int lo = 0, hi = 0;
        std::function<std::string(float)> checkNumber;
        std::function<std::string(int)> checkInteger;
        std::optional<std::pair<int, int>> okRange;
        std::function<QString()> text;
        int maxChars = 0;
        QString previous;
        QString zeroText; // an integer edit's word for 0
    };
    std::optional<int> ParseField(const Field& f) const;
    // Focus-out and OK share this; onOk adds the declared limits.
    bool CheckField(Field& f, bool onOk);
    bool Refuse(Field& f, const QString& message, bool restore); // false, for the caller to return
    Field* Find(const QObject* widget);
    const Field* Find(const QObject* widget) const;

    QDialog& m_dialog;
    CShellPrompts& m_prompts;
    QAbstractButton* m_pCancel;
    std::vector<Field> m_Fields;
    bool m_bBusy = false; // a message box is up: the focus it takes is not a field being left
};

} // namespace pw
