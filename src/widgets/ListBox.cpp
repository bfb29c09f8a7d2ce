#include "widgets/ListBox.h"

#include "platform/Exceptions.h"
#include "widgets/QtText.h"

#include <QMouseEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

namespace brinmor {

namespace {

// The lower-case letter of a Windows-1252 byte.
constexpr unsigned char FoldedByte(unsigned char c) {
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

constexpr auto kFold = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = FoldedByte(static_cast<unsigned char>(c));
    return table;
}();

std::string Folded(const std::string& text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    return folded;
}

// std::string compares its bytes as unsigned, so folded texts order as the list wants.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return Folded(a) < Folded(b);
}

} // namespace

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!changingItems_)
            emit UserSelectionChanged();
    });
}

void TListBox::SetSorted(bool sorted) {
    // The list keeps its own order, ignoring letter case as the platform's sorted list box
    // does; Qt's own sorting would heed it.
    sorted_ = sorted;
    if (sorted) {
        std::vector<Entry> entries;
        for (int i = 0; i < count(); ++i)
            entries.push_back({item(i)->text(), Tag(i)});
        SetEntries(std::move(entries));
    }
}

std::string TListBox::Item(int index) const {
    if (index < 0 || index >= count())
        throw EStringListError::IndexOutOfBounds(index);
    return FromQString(item(index)->text());
}

void TListBox::Add(const std::string& text) {
    int row = count();
    if (sorted_) {
        // After the last item that does not sort after the new one.
        int low = 0;
        while (low < row) {
            const int middle = low + (row - low) / 2;
            if (LessIgnoringCase(text, Item(middle)))
                row = middle;
            else
                low = middle + 1;
        }
    }
    changingItems_ = true;
    insertItem(row, ToQString(text));
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
    std::vector<Entry> entries;
    entries.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        entries.push_back({ToQString(texts[i]), static_cast<int>(i)});
    SetEntries(std::move(entries));
}

void TListBox::SetEntries(std::vector<Entry> entries) {
    // Fold each text once, then sort on the folded copies.
    std::vector<std::pair<std::string, std::size_t>> order;
    order.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        order.emplace_back(sorted_ ? Folded(FromQString(entries[i].text)) : std::string(), i);
    if (sorted_) {
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto& entry : order)
        items.append(std::move(entries[entry.second].text));
    changingItems_ = true;
    clear();
    // One insertion for the lot: the view hears of it once.
    insertItems(0, items);
    {
        // Tags are not shown, so the view need not hear of them one by one.
        const QSignalBlocker quiet(model());
        for (int row = 0; row < count(); ++row)
            item(row)->setData(Qt::UserRole,
                               entries[order[static_cast<std::size_t>(row)].second].tag);
    }
    changingItems_ = false;
}

int TListBox::Tag(int index) const {
    if (index < 0 || index >= count())
        throw EStringListError::IndexOutOfBounds(index);
    const QVariant tag = item(index)->data(Qt::UserRole);
    return tag.isValid() ? tag.toInt() : -1;
}

// Qt's view selects with any button and clears the selection on a click below the items. The
// platform's list box selects with the left button only, so a right-click leaves the selection
// to the context menu, and takes a click below its items as a click on the last one.
void TListBox::AsPlatform(QMouseEvent* event, const std::function<void(QMouseEvent*)>& handler) {
    // A move has no button of its own; the view ignores moves without the left button held.
    if (event->button() != Qt::NoButton && event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const QRect last = count() == 0 ? QRect() : visualItemRect(item(count() - 1));
    if (count() == 0 || indexAt(at).isValid() || at.y() <= last.bottom()) {
        handler(event);
        return;
    }
    const QPointF shift = QPointF(last.center()) - event->position();
    QMouseEvent moved(event->type(), event->position() + shift, event->scenePosition() + shift,
                      event->globalPosition() + shift, event->button(), event->buttons(),
                      event->modifiers(), event->pointingDevice());
    moved.setTimestamp(event->timestamp());
    handler(&moved);
    event->setAccepted(moved.isAccepted());
}

void TListBox::mousePressEvent(QMouseEvent* event) {
    AsPlatform(event, [this](QMouseEvent* e) { QListWidget::mousePressEvent(e); });
}

void TListBox::mouseMoveEvent(QMouseEvent* event) {
    AsPlatform(event, [this](QMouseEvent* e) { QListWidget::mouseMoveEvent(e); });
}

void TListBox::mouseReleaseEvent(QMouseEvent* event) {
    AsPlatform(event, [this](QMouseEvent* e) { QListWidget::mouseReleaseEvent(e); });
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    AsPlatform(event, [this](QMouseEvent* e) { QListWidget::mouseDoubleClickEvent(e); });
}

QItemSelectionModel::SelectionFlags TListBox::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
    const auto command = QListWidget::selectionCommand(index, event);
    // Ctrl+click and Ctrl+Space would deselect the one item; the platform's single-selection
    // list keeps it.
    if (selectionMode() == SingleSelection && command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
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
