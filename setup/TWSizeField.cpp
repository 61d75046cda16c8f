#include "setup/TWSizeField.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <limits>

namespace {

constexpr std::uint64_t kLargestByteCount =
    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

} // namespace

TWSizeField::Reading TWSizeField::read(const QString& text, int unitPower) {
    QString digits = text.trimmed();
    std::uint64_t value = 0;
    for (QChar c : digits) {
        // Only ASCII digits: QChar::isDigit would take digits of other scripts, which the
        // field's number conversion would not read the same way.
        if (c < u'0' || c > u'9')
            return {0, Problem::notAWholeNumber};
        std::uint64_t digit = static_cast<std::uint64_t>(c.unicode() - u'0');
        if (value > (kLargestByteCount - digit) / 10)
            return {0, Problem::tooLarge};
        value = value * 10 + digit;
    }
    for (int i = 0; i < unitPower; ++i) {
        if (value > kLargestByteCount / 1024)
            return {0, Problem::tooLarge};
        value *= 1024;
    }
    return {value, Problem::none};
}

TWSizeField::TWSizeField(QLineEdit* field, QComboBox* unitPopUp, QLabel* message,
                         int firstUnitPower, QObject* parent)
    : QObject(parent), field_(field), unitPopUp_(unitPopUp), message_(message),
      firstUnitPower_(firstUnitPower) {
    QPalette palette = message_->palette();
    palette.setColor(QPalette::WindowText, QColor(0xc0, 0x1c, 0x28));
    message_->setPalette(palette);
    connect(field_, &QLineEdit::textChanged, this, &TWSizeField::refresh);
    connect(unitPopUp_, &QComboBox::currentIndexChanged, this, &TWSizeField::refresh);
    refresh();
}

TWSizeField::Reading TWSizeField::reading() const {
    return read(field_->text(), firstUnitPower_ + std::max(unitPopUp_->currentIndex(), 0));
}

bool TWSizeField::isRefused() const {
    return refused_;
}

void TWSizeField::refresh() {
    Problem problem = field_->isEnabled() ? reading().problem : Problem::none;
    switch (problem) {
    case Problem::none: message_->clear(); break;
    case Problem::notAWholeNumber: message_->setText(tr("Whole numbers only")); break;
    case Problem::tooLarge: message_->setText(tr("Too large")); break;
    }
    bool refused = problem != Problem::none;
    if (refused != refused_) {
        refused_ = refused;
        emit refusalChanged();
    }
}
