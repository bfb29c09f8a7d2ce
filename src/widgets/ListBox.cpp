#include "widgets/ListBox.h"

#include "platform/Exceptions.h"
#include "widgets/ListDiff.h"
#include "widgets/QtText.h"

#include <QMouseEvent>
#include <algorithm>
#include <numeric>

namespace brinmor {

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    // Items are lines of one font, as in the platform's list box, which has no horizontal scroll
    // bar: laid out by one height, a list of 100,000 names is not measured item by item at
    // every refill.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!changingItems_)
            emit UserSelectionChanged();
    });
    // Tags follow their rows whoever inserts or removes them.
    tagConnections_ = {
        connect(model(), &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int last) {
                    tags_.insert(tags_.begin() + first, static_cast<std::size_t>(last - first + 1),
                                 -1);
                }),
        connect(model(), &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex&, int first, int last) {
                    tags_.erase(tags_.begin() + first, tags_.begin() + last + 1);
                }),
        connect(model(), &QAbstractItemModel::modelReset, this,
                [this] { tags_.assign(static_cast<std::size_t>(count()), -1); }),
    };
}

TListBox::~TListBox() {
    // The model outlives this part of the object: it is deleted with the base's children, and
    // its last reset would reach tags that are gone.
    for (const auto& connection : tagConnections_)
        disconnect(connection);
}

void TListBox::SetSorted(bool sorted) {
    // The list keeps its own order; Qt's own sorting heeds letter case and the locale's
    // rules do not reach it.
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
    const QString shown = ToQString(text);
    int row = count();
    if (sorted_) {
        // After the last item that does not sort after the new one.
        int low = 0;
        while (low < row) {
            const int middle = low + (row - low) / 2;
            if (order_.Less(shown, item(middle)->text()))
                row = middle;
            else
                low = middle + 1;
        }
    }
    changingItems_ = true;
    insertItem(row, shown);
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
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (sorted_) {
        std::vector<QString> texts;
        texts.reserve(entries.size());
        for (const Entry& entry : entries)
            texts.push_back(entry.text);
        order = order_.Sorted(texts);
    }
    std::vector<QString> wanted;
    wanted.reserve(entries.size());
    for (const std::size_t i : order)
        wanted.push_back(std::move(entries[i].text));
    std::vector<QString> shown;
    shown.reserve(static_cast<std::size_t>(count()));
    for (int row = 0; row < count(); ++row)
        shown.push_back(item(row)->text());
    ListLess less;
    if (sorted_)
        less = [this](const QString& a, const QString& b) { return order_.Less(a, b); };
    changingItems_ = true;
    for (const ListEdit& edit : ListDiff(shown, wanted, less)) {
        if (const auto* insert = std::get_if<ListInsert>(&edit))
            insertItems(insert->row, QStringList(wanted.begin() + insert->from,
                                                 wanted.begin() + insert->from + insert->count));
        else
            model()->removeRows(std::get<ListRemove>(edit).row, std::get<ListRemove>(edit).count);
    }
    for (std::size_t i = 0; i < order.size(); ++i)
        tags_[i] = entries[order[i]].tag;
    // As after emptying the list: nothing selected, the first item at the top.
    selectionModel()->clear();
    scrollToTop();
    changingItems_ = false;
}

int TListBox::Tag(int index) const {
    if (index < 0 || index >= count())
        throw EStringListError::IndexOutOfBounds(index);
    return tags_[static_cast<std::size_t>(index)];
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
