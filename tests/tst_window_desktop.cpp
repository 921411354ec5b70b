// The window as assistive technology and high-resolution screens see it:
// accessible names from the captions, and the declared places and sizes
// kept at any scale factor.
#include <QtTest>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <memory>

#include "form.hpp"
#include "frm_main.hpp"

class tst_WindowDesktop : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<kvix::Form> form;

    QWidget* control(const QString& name) const {
        auto* w = form->findChild<QWidget*>(name);
        if (w == nullptr)
            qFatal("no control %s", qPrintable(name));
        return w;
    }

private slots:
    void init();
    void cleanup();

    void accessibleNames_data();
    void accessibleNames();
    void labelsLabelTheirBoxes_data();
    void labelsLabelTheirBoxes();
    void accessKeysAnnounced_data();
    void accessKeysAnnounced();
    void scaledGeometry_data();
    void scaledGeometry();
    void scaledWindow();
};

void tst_WindowDesktop::init() {
    form = std::make_unique<kvix::Form>(kvix::kFrmMain, kvix::frm_main_bindings());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void tst_WindowDesktop::cleanup() { form.reset(); }

// A screen reader names each control by the caption the user reads next to
// it, without the access key's "&".
void tst_WindowDesktop::accessibleNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("accessibleName");
    QTest::newRow("window") << "frmMain" << int(QAccessible::Window) << "KVIX Quendral";
    QTest::newRow("lblInput") << "lblInput" << int(QAccessible::StaticText) << "In";
    QTest::newRow("txtInput") << "txtInput" << int(QAccessible::EditableText) << "In";
    QTest::newRow("cmdCalcPos") << "cmdCalcPos" << int(QAccessible::Button) << "Calculate positively";
    QTest::newRow("lblOutput") << "lblOutput" << int(QAccessible::StaticText) << "Out";
    QTest::newRow("txtOutput") << "txtOutput" << int(QAccessible::EditableText) << "Out";
    QTest::newRow("cmdCalcNeg") << "cmdCalcNeg" << int(QAccessible::Button) << "Calculate negatively";
}

void tst_WindowDesktop::accessibleNames() {
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QString, accessibleName);
    QWidget* w = name == form->objectName() ? form.get() : control(name);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    QVERIFY(iface != nullptr);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), accessibleName);
}

void tst_WindowDesktop::labelsLabelTheirBoxes_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("box");
    QTest::newRow("In") << "lblInput" << "txtInput";
    QTest::newRow("Out") << "lblOutput" << "txtOutput";
}

// The relation behind the name: the label is the box's label, and the box
// is what the label labels.
void tst_WindowDesktop::labelsLabelTheirBoxes() {
    QFETCH(QString, label);
    QFETCH(QString, box);
    QAccessibleInterface* box_iface = QAccessible::queryAccessibleInterface(control(box));
    QAccessibleInterface* label_iface = QAccessible::queryAccessibleInterface(control(label));
    QVERIFY(box_iface != nullptr && label_iface != nullptr);
    const auto labelled_by = box_iface->relations(QAccessible::Label);
    QCOMPARE(labelled_by.size(), 1);
    QCOMPARE(labelled_by.front().first->object(), control(label));
    const auto labels = label_iface->relations(QAccessible::Labelled);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front().first->object(), control(box));
}

// The access keys are told along with the buttons' press action, and the
// boxes' through their labels' mnemonics.
void tst_WindowDesktop::accessKeysAnnounced_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keys");
    QTest::newRow("cmdCalcPos") << "cmdCalcPos" << "Alt+P";
    QTest::newRow("cmdCalcNeg") << "cmdCalcNeg" << "Alt+N";
}

void tst_WindowDesktop::accessKeysAnnounced() {
    QFETCH(QString, name);
    QFETCH(QString, keys);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control(name));
    QVERIFY(iface != nullptr);
    QAccessibleActionInterface* actions = iface->actionInterface();
    QVERIFY(actions != nullptr);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
             QStringList{keys});
}

// Every control keeps its declared place and size in device-independent
// pixels (twips / 15) at any scale factor; QT_SCALE_FACTOR, set by the test
// run, says how many device pixels each of them is.
void tst_WindowDesktop::scaledGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect"); // the declared twips / 15
    QTest::newRow("lblInput") << "lblInput" << QRect(8, 8, 17, 17);
    QTest::newRow("txtInput") << "txtInput" << QRect(32, 8, 137, 19);
    QTest::newRow("cmdCalcPos") << "cmdCalcPos" << QRect(176, 8, 145, 25);
    QTest::newRow("lblOutput") << "lblOutput" << QRect(8, 40, 17, 17);
    QTest::newRow("txtOutput") << "txtOutput" << QRect(32, 40, 137, 19);
    QTest::newRow("cmdCalcNeg") << "cmdCalcNeg" << QRect(176, 40, 145, 25);
}

void tst_WindowDesktop::scaledGeometry() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    QWidget* w = control(name);
    QCOMPARE(w->geometry(), rect);
    QCOMPARE(w->devicePixelRatioF(), scale);
    // Drawn, the control covers its size times the scale in device pixels.
    const QPixmap shot = w->grab();
    QCOMPARE(shot.devicePixelRatio(), scale);
    QCOMPARE(shot.size(), (QSizeF(rect.size()) * scale).toSize());
}

// The whole client area, 4890 x 1020 twips: 326 x 68 device-independent
// pixels, at a scale of 2 drawn in 652 x 136 device pixels.
void tst_WindowDesktop::scaledWindow() {
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    QCOMPARE(form->size(), QSize(326, 68));
    QCOMPARE(form->windowHandle()->devicePixelRatio(), scale);
    const QPixmap shot = form->grab();
    QCOMPARE(shot.size(), (QSizeF(326, 68) * scale).toSize());
    // The font is chosen in points, which do not depend on the scale, so the
    // captions take the same room at every scale.
    const QFontMetricsF fm(control("cmdCalcPos")->font());
    QVERIFY(fm.horizontalAdvance(QStringLiteral("Calculate positively")) <= 145);
}

QTEST_MAIN(tst_WindowDesktop)
#include "tst_window_desktop.moc"
