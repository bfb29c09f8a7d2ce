#include "widgets/ListBox.h"

#include "platform/Exceptions.h"
#include "widgets/QtText.h"

#include <algorithm>

namespace brinmor {

namespace {

// Orders items ignoring letter case, as the platform's sorted list box does.
class CaselessItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
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
    return FromQString(item(index)->text());
}

void TListBox::Add(const std::string& text) {
    changingItems_ = true;
    addItem(new CaselessItem(ToQString(text)));
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
    std::vector<QString> converted;
    converted.reserve(texts.size());
    for (const auto& text : texts)
        converted.push_back(ToQString(text));
    if (sorted_) {
        std::stable_sort(converted.begin(), converted.end(),
                         [](const QString& a, const QString& b) {
                             return a.compare(b, Qt::CaseInsensitive) < 0;
                         });
    }
    for (const auto& text : converted)
        addItem(new CaselessItem(text));
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
