#pragma once
// The object table's model: two rows per object of the project's current
// list — its header row (2k) with the eight column texts, and its detail row
// (2k + 1), which the detail cell draws across columns 1 to 7. The column
// header row is the view's horizontal header. The model reads the document
// at every request and caches nothing but the number of objects it has
// announced, so that the rows it reports follow the notices one by one.

#include <QAbstractTableModel>

#include <vector>

class CVetraDoc;

class CObjectTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role { ObjectIndexRole = Qt::UserRole + 1, IsDetailRole, ExpandedRole };
    static constexpr int kColumns = 8;
    static constexpr int kNameColumn = 1;

    explicit CObjectTableModel(CVetraDoc &document, QObject *parent = nullptr);

    static int ObjectOfRow(int row) { return row / 2; }
    static bool IsDetailRow(int row) { return row % 2 == 1; }
    static int HeaderRowOf(int object) { return 2 * object; }
    static int DetailRowOf(int object) { return 2 * object + 1; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Every row anew (the document's list changed as a whole).
    void Rebuild();
    // Objects that came in at (ascending) positions of the list after it, or
    // went from positions of the list before it: row inserts and removes.
    void ObjectsInserted(const std::vector<int> &positions);
    void ObjectsRemoved(const std::vector<int> &positions);
    // Position i now holds the object from sourceOf[i]: the rows move with
    // their persistent indexes (selection, focus, row heights).
    void ObjectsReordered(const std::vector<int> &sourceOf);
    // Every text anew (another language or date format), rows unchanged.
    void RefreshTexts();
    // One object's header row texts changed.
    void RefreshObject(int object);

Q_SIGNALS:
    // The name cell was edited; the page stores the name.
    void RenameRequested(int object, const QString &name);

private:
    CVetraDoc &m_document;
    int m_objects = 0;   // as announced to the views
};
