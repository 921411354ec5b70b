// A bare Qt Widgets window with the six controls of the main window, built
// by hand, for comparing start-up time and memory with the program.  Same
// title, places and sizes (the declared twips / 15), nothing else.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("KVIX Quendral"));

    auto* lblInput = new QLabel(QStringLiteral("&In"), &window);
    lblInput->setGeometry(8, 8, 17, 17);
    auto* txtInput = new QLineEdit(&window);
    txtInput->setGeometry(32, 8, 137, 19);
    auto* cmdCalcPos = new QPushButton(QStringLiteral("Calculate &positively"), &window);
    cmdCalcPos->setGeometry(176, 8, 145, 25);
    auto* lblOutput = new QLabel(QStringLiteral("&Out"), &window);
    lblOutput->setGeometry(8, 40, 17, 17);
    auto* txtOutput = new QLineEdit(&window);
    txtOutput->setGeometry(32, 40, 137, 19);
    auto* cmdCalcNeg = new QPushButton(QStringLiteral("Calculate &negatively"), &window);
    cmdCalcNeg->setGeometry(176, 40, 145, 25);

    lblInput->setBuddy(txtInput);
    lblOutput->setBuddy(txtOutput);
    cmdCalcPos->setAutoDefault(false);
    cmdCalcNeg->setAutoDefault(false);
    window.setFixedSize(326, 68);
    txtInput->setFocus();
    window.show();
    return app.exec();
}
