#pragma once

#include <QAbstractSpinBox>
#include <cstdint>
#include <string>

namespace brinmor {

// The numeric spin edit: a whole number held as decimal text, two arrow buttons and the Up
// and Down keys that step it, a key filter, a pasted text taken up to its first line break, and
// a range that is enforced when the value is set or the focus leaves, but not when it is read.
class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    std::int32_t MinValue() const { return minValue_; }
    std::int32_t MaxValue() const { return maxValue_; }
    void SetRange(std::int32_t minValue, std::int32_t maxValue);
    std::int32_t Increment() const { return increment_; }

    // The text converted strictly; a text that does not convert reads as the minimum.
    std::int32_t Value() const;
    // Clamps to the range and rewrites the text.
    void SetValue(std::int64_t value);

    std::string Text() const;
    void SetText(const std::string& text);

    void stepBy(int steps) override;

signals:
    // Every change of the text: typed, stepped or set.
    void Changed();

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::int64_t Clamped(std::int64_t value) const;

    std::int32_t minValue_ = 0;
    std::int32_t maxValue_ = 0; // equal bounds: no range
    std::int32_t increment_ = 1;
};

} // namespace brinmor
