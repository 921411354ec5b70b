// The controls of a built main window, found by their names, for the window
// tests.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace kvix::test {

class MainFormControls {
public:
    virtual ~MainFormControls() = default;

    template <typename T>
    T* control(const char* name) const {
        T* w = window()->findChild<T*>(name);
        if (w == nullptr)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* txtInput() const { return control<QLineEdit>("txtInput"); }
    QLineEdit* txtOutput() const { return control<QLineEdit>("txtOutput"); }
    QPushButton* cmdCalcPos() const { return control<QPushButton>("cmdCalcPos"); }
    QPushButton* cmdCalcNeg() const { return control<QPushButton>("cmdCalcNeg"); }

protected:
    virtual QWidget* window() const = 0;
};

} // namespace kvix::test
