#include "form.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include <QAccessibleWidget>
#include <QClipboard>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include "caption_fit.hpp"
#include "error.hpp"
#include "long_text_edit.hpp"

namespace kvix {

namespace {
// A declared window is a top-level window to assistive technology, named by
// its title; a plain widget would pass for a mere client area.
QAccessibleInterface* form_accessible(const QString&, QObject* object) {
    if (auto* form = dynamic_cast<Form*>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

// A QLineEdit seen as a text box of the form.  A line edit cannot fail to
// give or take its text, so both operations always succeed.
class QtTextBox final : public FormTextBox {
public:
    QtTextBox(Form& form, const ControlDecl& decl, QLineEdit& edit)
        : FormTextBox(form, decl), edit_(edit) {}

    ResultCode write_text(std::string_view text) override {
        edit_.setText(QString::fromUtf8(text));
        return kResultOk;
    }

    QLineEdit& edit() const { return edit_; }

private:
    ResultCode read_control_text(std::string& text) override {
        const QByteArray utf8 = edit_.text().toUtf8();
        text.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        return kResultOk;
    }

    QLineEdit& edit_;
};

// A push button whose access key clicks it at once, on every press.  The
// toolkit's own button shows an access-key click pressed for a tenth of a
// second before it clicks, and drops another press of that key meanwhile;
// a user who presses it twice means two clicks, in the order of the
// presses.  (The Win32 dialog manager clicks a button at once on each press
// of its access key: that layer needs nothing of the kind.)
class FormButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut && isEnabled() &&
            !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            click();
            return true;
        }
        return QPushButton::event(event);
    }
};

// A message box whose text Ctrl+C copies, headline and details, so that a
// user can paste the message elsewhere; the toolkit's own box does that
// only on some platforms.
class CopyableMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(text() + QStringLiteral("\n\n") + informativeText());
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

} // namespace

Form::Form(const FormDecl& decl, std::span<const ClickBinding> bindings) : FormBase(decl, bindings) {
    static const bool accessible_installed = (QAccessible::installFactory(&form_accessible), true);
    (void)accessible_installed;
    setObjectName(QString::fromUtf8(decl.name));
    setWindowTitle(QString::fromUtf8(decl.title));

    // Controls made in tab order, each placed as declared.
    std::vector<std::pair<const ControlDecl*, QWidget*>> widgets;
    for (const ControlDecl* c : tab_order()) {
        QWidget* w = nullptr;
        switch (c->kind) {
        case ControlKind::Label:
            w = new QLabel(QString::fromUtf8(c->caption), this);
            w->setFocusPolicy(Qt::NoFocus);
            break;
        case ControlKind::TextBox: {
            auto* edit = new LongTextEdit(this);
            edit->setMaxLength(std::numeric_limits<int>::max()); // no limit on the length
            // Lay plain text out without shaping where the script does not
            // need it (digits and Latin letters): twice as fast on a pasted
            // text of megabytes, and the same to look at.
            QFont no_shaping;
            no_shaping.setStyleStrategy(QFont::PreferNoShaping);
            edit->setFont(no_shaping);
            add_box(std::make_unique<QtTextBox>(*this, *c, *edit));
            w = edit;
            break;
        }
        case ControlKind::Button: {
            auto* button = new FormButton(QString::fromUtf8(c->caption), this);
            button->setAutoDefault(false); // Enter in a box presses no button
            button->setDefault(false);
            connect(button, &QPushButton::clicked, this, [this, c] { press(*c); });
            w = button;
            break;
        }
        }
        w->setObjectName(QString::fromUtf8(c->name));
        w->setGeometry(twips_to_pixels(c->left), twips_to_pixels(c->top),
                       twips_to_pixels(c->width), twips_to_pixels(c->height));
        widgets.emplace_back(c, w);
    }
    const auto widget_of = [&widgets](const ControlDecl* c) {
        for (const auto& [decl_of, w] : widgets)
            if (decl_of == c)
                return w;
        return static_cast<QWidget*>(nullptr);
    };

    // Tab order, and each label's buddy: the next control that takes focus.
    QWidget* previous = nullptr;
    for (const auto& [c, w] : widgets) {
        if (!takes_focus(c->kind)) {
            if (QWidget* buddy = widget_of(next_focus(c)))
                static_cast<QLabel*>(w)->setBuddy(buddy);
            continue;
        }
        if (previous != nullptr)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }

    setFont(fit_font(*this, decl, font()));
    setFixedSize(twips_to_pixels(decl.client_width), twips_to_pixels(decl.client_height));

    if (QWidget* w = widget_of(first_focus()))
        w->setFocus(Qt::OtherFocusReason);
}

Form::~Form() = default;

void Form::take_typed_ahead() {
    // The toolkit reads the window system's events as they come and queues
    // them; those queued now were typed before the report is shown.  A
    // modal message box would block them from the window, so they are
    // delivered here, before it opens (for no longer than a report is held:
    // a stream of events does not hold it back).
    QCoreApplication::processEvents(QEventLoop::AllEvents, kReportHoldMs);
}

bool Form::wait_while_open(int ms) {
    QEventLoop hold;
    QTimer::singleShot(ms, &hold, &QEventLoop::quit);
    hold.exec();
    return isVisible();
}

void Form::show_message_box(const ErrorMessage& message) {
    CopyableMessageBox box(QMessageBox::Warning, windowTitle(),
                           QString::fromStdString(message.headline), QMessageBox::Ok, this);
    box.setInformativeText(QString::fromStdString(message.details));
    box.setTextFormat(Qt::PlainText);
    // Wide enough that the range line wraps once, not at every word.
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 26em; }"));
    box.exec();
}

void Form::focus_and_select(FormTextBox& box) {
    QLineEdit& edit = static_cast<QtTextBox&>(box).edit();
    edit.setFocus(Qt::OtherFocusReason);
    // The same as selectAll(), which would lay out the whole text again:
    // seconds for a text of megabytes.
    edit.setSelection(0, static_cast<int>(edit.text().size()));
}

namespace {

// Whether every caption fits the room its control gives it, measured with
// Qt's font metrics and style: the button's contents rectangle, the line
// edit's frame and margins.
bool font_fits(const Form& form, const FormDecl& decl, const QFont& font) {
    const QFontMetrics fm(font);
    return captions_fit(decl, [&](const ControlDecl& c, std::string_view shown) {
        const QSize size(twips_to_pixels(c.width), twips_to_pixels(c.height));
        const QString caption = QString::fromUtf8(shown);
        QRect room;
        switch (c.kind) {
        case ControlKind::Label:
            room = QRect(QPoint(0, 0), size);
            break;
        case ControlKind::Button: {
            QStyleOptionButton option;
            option.rect = QRect(QPoint(0, 0), size);
            option.fontMetrics = fm;
            room = form.style()->subElementRect(QStyle::SE_PushButtonContents, &option);
            break;
        }
        case ControlKind::TextBox: {
            // A line of text plus the frame and the line edit's own margins.
            const int frame = form.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            room = QRect(QPoint(0, 0), size).adjusted(frame + 1, frame, -frame - 1, -frame);
            break;
        }
        }
        const QRect needed = fm.boundingRect(caption.isEmpty() ? QStringLiteral("0") : caption);
        return CaptionRoom{room.width(), room.height(), fm.horizontalAdvance(caption),
                           std::max(fm.height(), needed.height())};
    });
}

} // namespace

QFont fit_font(const Form& form, const FormDecl& decl, QFont base) {
    QFont font = base;
    font.setPointSizeF(fit_point_size(base.pointSizeF(), [&](double points) {
        font.setPointSizeF(points);
        return font_fits(form, decl, font);
    }));
    return font;
}

} // namespace kvix
