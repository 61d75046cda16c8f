#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;

// A size bound typed as a whole number beside a unit pop-up whose item i multiplies it by
// 1024^(i + firstUnitPower). Anything but a whole number from 0 up, and any product beyond
// the largest signed 64-bit byte count, is refused as soon as it is typed: the message label
// beside the field says why, and the view keeps its start button disabled while an enabled
// field is refused. An empty field counts as 0.
class TWSizeField : public QObject {
    Q_OBJECT
public:
    enum class Problem { none, notAWholeNumber, tooLarge };
    struct Reading {
        std::uint64_t bytes = 0; // 0 when refused
        Problem problem = Problem::none;
    };

    static Reading read(const QString& text, int unitPower);

    TWSizeField(QLineEdit* field, QComboBox* unitPopUp, QLabel* message, int firstUnitPower,
                QObject* parent);

    Reading reading() const;
    // Whether the field is enabled and holds a refused entry.
    bool isRefused() const;
    // Shows or clears the message; the view calls it again after enabling or disabling the
    // field, because a disabled field refuses nothing.
    void refresh();

signals:
    void refusalChanged();

private:
    QLineEdit* field_;
    QComboBox* unitPopUp_;
    QLabel* message_;
    int firstUnitPower_;
    bool refused_ = false;
};
