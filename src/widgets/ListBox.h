#pragma once

#include "widgets/ListOrder.h"

#include <QListWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace brinmor {

// A list box of Windows-1252 text lines. When sorted, the list keeps its items in the
// alphabetical order of the user's locale, ignoring letter case, whatever the order of adding.
// An item may carry a tag, a number the program keeps with it wherever the sorting puts it.
class TListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TListBox(QWidget* parent = nullptr);
    ~TListBox() override;

    void SetSorted(bool sorted);

    int Count() const { return count(); }

    // The item at index; a bad index raises "Indice de liste hors limites (%d)".
    std::string Item(int index) const;
    void Add(const std::string& text);
    void Delete(int index);
    // Replaces every item at once (one sort for the lot when sorted); each item's tag is the
    // index of its text.
    void SetItems(const std::vector<std::string>& texts);

    struct Entry {
        QString text; // as shown; Item() gives '?' for a character Windows-1252 lacks
        int tag;
    };
    void SetEntries(std::vector<Entry> entries);
    // The tag of the item at index, or -1 for an item added without one; a bad index raises
    // "Indice de liste hors limites (%d)".
    int Tag(int index) const;

    bool Selected(int index) const;
    // The selected index, or -1.
    int ItemIndex() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

signals:
    // The user changed the selection (a click, or the arrow keys); the program's own changes
    // to the list do not emit it.
    void UserSelectionChanged();

private:
    // Hands a mouse event to the view's handler as the platform's list box would take it.
    void AsPlatform(QMouseEvent* event, const std::function<void(QMouseEvent*)>& handler);

    bool sorted_ = false;
    ListOrder order_;
    bool changingItems_ = false;
    // Beside the items rather than in them: item data costs an allocation per item.
    std::vector<int> tags_;
    std::array<QMetaObject::Connection, 3> tagConnections_;
};

} // namespace brinmor
