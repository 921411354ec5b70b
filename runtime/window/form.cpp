#include "form.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "error.hpp"
#include "error_reporter.hpp"
#include "long_text_edit.hpp"

namespace kvix {

namespace {
QString qstring_of(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
QString without_access_key(QString caption) {
    return caption.remove(QLatin1Char('&'));
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
        form_.note_read(&edit_);
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
    waiting_.push_back(handler);
    if (reporting_)
        return; // runs once the report on screen is dismissed
    while (!waiting_.empty()) {
        const ClickHandler next = waiting_.front();
        waiting_.pop_front();
        run_click(next);
    }
}

void Form::run_click(ClickHandler handler) {
    last_read_ = nullptr;
    try {
        handler(*this);
    } catch (const RuntimeError& error) {
        reporting_ = true;
        struct EndOfReport {
            bool& reporting;
            ~EndOfReport() { reporting = false; }
        } end_of_report{reporting_};
        error_reporter().report(this, error);
        if (last_read_ != nullptr) {
            last_read_->setFocus(Qt::OtherFocusReason);
            // The same as selectAll(), which would lay out the whole text
            // again: seconds for a text of megabytes.
            last_read_->setSelection(0, static_cast<int>(last_read_->text().size()));
        }
    }
}

// How much the font would have to grow (above 1) or shrink (below 1) for
// every caption to fill its room exactly: the least of room / need over all
// controls and both directions.  Everything fits when it is 1 or more.
double font_room_ratio(const Form& form, const FormDecl& decl, const QFont& font) {
    const QFontMetrics fm(font);
    double ratio = std::numeric_limits<double>::infinity();
    for (const ControlDecl& c : decl.controls) {
        const QSize size(twips_to_pixels(c.width), twips_to_pixels(c.height));
        const QString caption = without_access_key(qstring_of(c.caption));
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
        const int width = fm.horizontalAdvance(caption);
        const int height = std::max(fm.height(), needed.height());
        // An empty caption needs no width, only room that is not negative.
        ratio = std::min(ratio, width > 0 ? static_cast<double>(room.width()) / width
                                          : (room.width() >= 0 ? ratio : 0.0));
        ratio = std::min(ratio, height > 0 ? static_cast<double>(room.height()) / height
                                           : (room.height() >= 0 ? ratio : 0.0));
    }
    return ratio;
}

bool font_fits(const Form& form, const FormDecl& decl, const QFont& font) {
    return font_room_ratio(form, decl, font) >= 1.0;
}

QFont fit_font(const Form& form, const FormDecl& decl, QFont base) {
    // The sizes tried: the base size, then half a point less each time while
    // above 6 points; 6 points when none of them fits.
    constexpr double kStep = 0.5, kFloor = 6.0;
    QFont font = base;
    const double top = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    const auto size_at = [&](int k) { return top - k * kStep; }; // the k-th size below the base
    const auto fits_at = [&](int k) {
        font.setPointSizeF(size_at(k));
        return font_fits(form, decl, font);
    };
    font.setPointSizeF(top);
    const double ratio = font_room_ratio(form, decl, font);
    const int last = static_cast<int>(std::ceil((top - kFloor) / kStep)) - 1; // sizes above the floor
    if (ratio >= 1.0 || last < 1) {
        if (ratio < 1.0)
            font.setPointSizeF(kFloor);
        return font;
    }
    // Text grows about in proportion to the point size, so the base size's
    // ratio points at the first size to try, instead of every size in
    // between, each of which would load a font at start-up.  From there the
    // search goes up while the next larger size still fits, or down until
    // one fits.
    const double predicted = top * std::max(ratio, 0.0);
    int k = std::clamp(static_cast<int>(std::ceil((top - predicted) / kStep)), 1, last);
    if (fits_at(k)) {
        while (k > 1 && fits_at(k - 1))
            --k;
    } else {
        do
            ++k;
        while (k <= last && !fits_at(k));
    }
    font.setPointSizeF(k <= last ? size_at(k) : kFloor);
    return font;
}

} // namespace kvix
