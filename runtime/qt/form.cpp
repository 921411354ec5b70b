#include "form.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "caption_fit.hpp"
#include "error.hpp"
#include "error_reporter.hpp"
#include "long_text_edit.hpp"

namespace kvix {

namespace {
QString qstring_of(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A declared window is a top-level window to assistive technology, named by
// its title; a plain widget would pass for a mere client area.
QAccessibleInterface* form_accessible(const QString&, QObject* object) {
    if (auto* form = dynamic_cast<Form*>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}
} // namespace

// A QLineEdit seen as a TextBox.  A line edit cannot fail to give or take
// its text, so both operations always succeed.
class QtTextBox final : public TextBox {
public:
    QtTextBox(Form& form, QLineEdit& edit, std::string name)
        : form_(form), edit_(edit), name_(std::move(name)) {}

    std::string_view name() const override { return name_; }

    ResultCode read_text(std::string& text) override {
        form_.note_read(&edit_, *this);
        const QByteArray utf8 = edit_.text().toUtf8();
        text.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        return kResultOk;
    }

    ResultCode write_text(std::string_view text) override {
        edit_.setText(qstring_of(text));
        return kResultOk;
    }

    QLineEdit& edit() const { return edit_; }

private:
    Form& form_;
    QLineEdit& edit_;
    std::string name_;
};

Form::Form(const FormDecl& decl, std::span<const ClickBinding> bindings) {
    static const bool accessible_installed = (QAccessible::installFactory(&form_accessible), true);
    (void)accessible_installed;
    setObjectName(qstring_of(decl.name));
    setWindowTitle(qstring_of(decl.title));

    // Controls in tab order, so that each label's access key can go to the
    // next control that takes the focus.
    std::vector<const ControlDecl*> in_tab_order(decl.controls.size());
    for (const ControlDecl& c : decl.controls)
        in_tab_order.at(static_cast<std::size_t>(c.tab_index)) = &c;

    std::vector<QWidget*> widgets;
    for (const ControlDecl* c : in_tab_order) {
        QWidget* w = nullptr;
        switch (c->kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(qstring_of(c->caption), this);
            label->setFocusPolicy(Qt::NoFocus);
            w = label;
            break;
        }
        case ControlKind::TextBox: {
            auto* edit = new LongTextEdit(this);
            edit->setMaxLength(std::numeric_limits<int>::max()); // no limit on the length
            // Lay plain text out without shaping where the script does not
            // need it (digits and Latin letters): twice as fast on a pasted
            // text of megabytes, and the same to look at.
            QFont no_shaping;
            no_shaping.setStyleStrategy(QFont::PreferNoShaping);
            edit->setFont(no_shaping);
            boxes_.push_back(std::make_unique<QtTextBox>(*this, *edit, std::string(c->name)));
            w = edit;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(qstring_of(c->caption), this);
            button->setAutoDefault(false); // Enter in a box presses no button
            button->setDefault(false);
            w = button;
            break;
        }
        }
        w->setObjectName(qstring_of(c->name));
        w->setGeometry(twips_to_pixels(c->left), twips_to_pixels(c->top),
                       twips_to_pixels(c->width), twips_to_pixels(c->height));
        widgets.push_back(w);
    }

    // Tab order, and each label's buddy: the next control that takes focus.
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        QWidget* w = widgets[i];
        if (w->focusPolicy() == Qt::NoFocus) {
            for (std::size_t j = i + 1; j < widgets.size(); ++j)
                if (widgets[j]->focusPolicy() != Qt::NoFocus) {
                    static_cast<QLabel*>(w)->setBuddy(widgets[j]);
                    break;
                }
            continue;
        }
        if (previous != nullptr)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }

    for (const ClickBinding& b : bindings) {
        auto* button = findChild<QPushButton*>(qstring_of(b.control), Qt::FindDirectChildrenOnly);
        if (button == nullptr)
            throw std::logic_error("click bound to no button: " + std::string(b.control));
        const ClickHandler handler = b.handler;
        connect(button, &QPushButton::clicked, this, [this, handler] { dispatch_click(handler); });
    }

    setFont(fit_font(*this, decl, font()));
    setFixedSize(twips_to_pixels(decl.client_width), twips_to_pixels(decl.client_height));

    // The first control in tab order that takes the focus has it at start.
    for (QWidget* w : widgets)
        if (w->focusPolicy() != Qt::NoFocus) {
            w->setFocus(Qt::OtherFocusReason);
            break;
        }
}

Form::~Form() = default;

TextBox& Form::text_box(std::string_view name) {
    for (const auto& box : boxes_)
        if (box->name() == name)
            return *box;
    throw std::logic_error("no text box named " + std::string(name));
}

void Form::dispatch_click(ClickHandler handler) {
    clicks_.dispatch(handler, [this](ClickHandler next) { run_click(next); });
}

void Form::run_click(ClickHandler handler) {
    last_read_ = nullptr;
    last_read_text_ = nullptr;
    try {
        handler(*this);
    } catch (const RuntimeError& error) {
        const ClickOrder::Report on_screen(clicks_);
        error_reporter().report(this, as_reported(error, last_read_text_));
        if (last_read_ != nullptr) {
            last_read_->setFocus(Qt::OtherFocusReason);
            // The same as selectAll(), which would lay out the whole text
            // again: seconds for a text of megabytes.
            last_read_->setSelection(0, static_cast<int>(last_read_->text().size()));
        }
    }
}

namespace {

// Whether every caption fits the room its control gives it, measured with
// Qt's font metrics and style: the button's contents rectangle, the line
// edit's frame and margins.
bool font_fits(const Form& form, const FormDecl& decl, const QFont& font) {
    const QFontMetrics fm(font);
    return captions_fit(decl, [&](const ControlDecl& c, std::string_view shown) {
        const QSize size(twips_to_pixels(c.width), twips_to_pixels(c.height));
        const QString caption = qstring_of(shown);
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
