#include "widgets/ListBox.h"

#include "platform/Exceptions.h"
#include "widgets/QtText.h"

#include <algorithm>

namespace brinmor {

namespace {

// The lower-case letter of a Windows-1252 byte.
unsigned char Folded(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Folded(static_cast<unsigned char>(x)) < Folded(static_cast<unsigned char>(y));
    });
}

// Orders items ignoring letter case, as the platform's sorted list box does. The item keeps
// its Windows-1252 text so that comparing needs no conversion.
class CaselessItem : public QListWidgetItem {
public:
    explicit CaselessItem(std::string text)
        : QListWidgetItem(ToQString(text)), key_(std::move(text)) {}
    const std::string& Key() const { return key_; }
    bool operator<(const QListWidgetItem& other) const override {
        return LessIgnoringCase(key_, static_cast<const CaselessItem&>(other).key_);
    }

private:
    std::string key_;
};

} // namespace

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!changingItems_)
            emit UserSelectionChanged();
    });
}

void TListBox::SetSorted(bool sorted) {
    sorted_ = sorted;
    setSortingEnabled(sorted);
    if (sorted)
        sortItems();
}

std::string TListBox::Item(int index) const {
    if (index < 0 || index >= count())
        throw EStringListError::IndexOutOfBounds(index);
    return static_cast<const CaselessItem*>(item(index))->Key();
}

void TListBox::Add(const std::string& text) {
    changingItems_ = true;
    addItem(new CaselessItem(text));
    changingItems_ = false;
}

void TListBox::Delete(int index) {
    if (index < 0 || index >= count())
        throw EStringListError::IndexOutOfBounds(index);
    changingItems_ = true;
    delete takeItem(index);
    changingItems_ = false;
}

void TListBox::SetItems(const std::vector<std::string>& texts) {
    changingItems_ = true;
    setSortingEnabled(false);
    clear();
    std::vector<std::string> ordered = texts;
    if (sorted_)
        std::stable_sort(ordered.begin(), ordered.end(), LessIgnoringCase);
    for (auto& text : ordered)
        addItem(new CaselessItem(std::move(text)));
    setSortingEnabled(sorted_);
    changingItems_ = false;
}

bool TListBox::Selected(int index) const {
    const QListWidgetItem* it = item(index);
    return it != nullptr && it->isSelected();
}

int TListBox::ItemIndex() const {
    const auto selected = selectedItems();
    if (selected.isEmpty())
        return -1;
    return row(selected.first());
}

} // namespace brinmor
