// Field parsing, limit texts and the focus-out guard.
#include "shell/dialogs/FieldExchange.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cmath>

#include "core/ValueRules.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellMessages.h"

namespace pw {

std::optional<double> ParseNumber(const QString& text) {
    bool ok = false;
    // QString::toDouble reads the C locale whatever the user's locale is, and allows blanks around.
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> ParseInteger(const QString& text, int lo, int hi) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < lo || v > hi) return std::nullopt;
    return static_cast<int>(v);
}

QString FormatNumber(float value) {
    return QString::asprintf("%.6g", static_cast<double>(value));
}

QDialogButtonBox* MakeOkCancel(QDialog* dialog, const QString& ok, const QString& cancel) {
    auto* box = new QDialogButtonBox(dialog);
    QPushButton* okButton = box->addButton(ok, QDialogButtonBox::AcceptRole);
    QPushButton* cancelButton = box->addButton(cancel, QDialogButtonBox::RejectRole);
    okButton->setObjectName(ControlName(1));
    cancelButton->setObjectName(ControlName(2));
    okButton->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

QString ControlName(int id) {
    return QStringLiteral("id%1").arg(id);
}

CFieldGuard::CFieldGuard(QDialog& dialog, CShellPrompts& prompts, QAbstractButton* cancel)
    : QObject(&dialog), m_dialog(dialog), m_prompts(prompts), m_pCancel(cancel) {}

void CFieldGuard::AddNumber(QLineEdit* edit, std::function<std::string(float)> check) {
    Field f;
    f.widget = edit;
    f.edit = edit;
    f.kind = Kind::Number;
    f.checkNumber = std::move(check);
    f.previous = edit->text();
    // Fields with a check of their own are checked as they are left; the others on OK only.
    if (f.checkNumber) edit->installEventFilter(this);
    m_Fields.push_back(std::move(f));
}

void CFieldGuard::AddInteger(QLineEdit* edit, int lo, int hi, std::function<std::string(int)> check,
                             std::optional<std::pair<int, int>> okRange) {
    Field f;
    f.widget = edit;
    f.edit = edit;
    f.kind = Kind::Integer;
    f.lo = lo;
    f.hi = hi;
    f.checkInteger = std::move(check);
    f.okRange = okRange;
    f.previous = edit->text();
    if (f.checkInteger) edit->installEventFilter(this);
    m_Fields.push_back(std::move(f));
}

void CFieldGuard::SetZeroText(QLineEdit* edit, const QString& word) {
    if (Field* f = Find(edit)) f->zeroText = word;
}

std::optional<int> CFieldGuard::ParseField(const Field& f) const {
    if (!f.zeroText.isEmpty() && f.edit->text().trimmed() == f.zeroText && f.lo <= 0 && 0 <= f.hi) return 0;
    return ParseInteger(f.edit->text(), f.lo, f.hi);
}

void CFieldGuard::AddText(QWidget* widget, std::function<QString()> text, int maxChars) {
    Field f;
    f.widget = widget;
    f.kind = Kind::Text;
    f.text = std::move(text);
    f.maxChars = maxChars;
    m_Fields.push_back(std::move(f));
}

void CFieldGuard::Accept(QLineEdit* edit) {
    if (Field* f = Find(edit)) f->previous = edit->text();
}

CFieldGuard::Field* CFieldGuard::Find(const QObject* widget) {
    for (Field& f : m_Fields)
        if (f.widget == widget) return &f;
    return nullptr;
}

const CFieldGuard::Field* CFieldGuard::Find(const QObject* widget) const {
    for (const Field& f : m_Fields)
        if (f.widget == widget) return &f;
    return nullptr;
}

std::optional<double> CFieldGuard::Number(QLineEdit* edit) const {
    return ParseNumber(edit->text());
}

std::optional<int> CFieldGuard::Integer(QLineEdit* edit) const {
    const Field* f = Find(edit);
    return f ? ParseField(*f) : std::nullopt;
}

bool CFieldGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusOut || m_bBusy || !m_dialog.isVisible()) return false;
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window taking the focus (a message box, a menu) is not leaving the field.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
    // The new focus widget is already set when the old one hears it lost the focus.
    if (m_pCancel && QApplication::focusWidget() == m_pCancel) return false;
    if (Field* f = Find(watched)) CheckField(*f, false);
    return false;
}

bool CFieldGuard::CheckAll() {
    for (Field& f : m_Fields)
        if (!CheckField(f, true)) return false;
    return true;
}

bool CFieldGuard::CheckField(Field& f, bool onOk) {
    switch (f.kind) {
    case Kind::Number: {
        const auto v = ParseNumber(f.edit->text());
        // A field checked as it is left gets its previous value back; one read on OK keeps the typed
        // text, to be corrected.
        if (!v) return Refuse(f, QString::fromUtf8(msg::kEnterNumber), bool(f.checkNumber));
        if (f.checkNumber)
            if (const std::string m = f.checkNumber(static_cast<float>(*v)); !m.empty())
                return Refuse(f, QString::fromUtf8(m), true);
        break;
    }
    case Kind::Integer: {
        const auto v = ParseField(f);
        if (!v) return Refuse(f, QString::fromUtf8(msg::kEnterInteger), bool(f.checkInteger));
        if (f.checkInteger)
            if (const std::string m = f.checkInteger(*v); !m.empty())
                return Refuse(f, QString::fromUtf8(m), true);
        // The declared range is the exchange's own limit, tested on OK; the typed text stays.
        if (onOk && f.okRange)
            if (const std::string m = CheckIntegerRange(*v, f.okRange->first, f.okRange->second); !m.empty())
                return Refuse(f, QString::fromStdString(m), false);
        break;
    }
    case Kind::Text:
        if (onOk)
            if (const std::string m = CheckTextLength(f.text().toStdString(), f.maxChars); !m.empty())
                return Refuse(f, QString::fromStdString(m), false);
        return true;
    }
    f.previous = f.edit->text();
    return true;
}

bool CFieldGuard::Refuse(Field& f, const QString& message, bool restore) {
    m_bBusy = true;
    m_prompts.Tell(message);
    if (restore && f.edit) f.edit->setText(f.previous);
    m_bBusy = false;
    // The field gets the focus back once the focus change that led here has finished.
    QPointer<QWidget> widget = f.widget;
    QTimer::singleShot(0, this, [widget] {
        if (!widget) return;
        widget->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(widget.data())) edit->selectAll();
    });
    return false;
}

} // namespace pw
