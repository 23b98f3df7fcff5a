#pragma once
// CObjectListPage: a plain, read-only list of the project's objects, one row
// each with the table's eight columns. It stands in the sheet until the
// object table with its detail rows takes its place; the table commands it
// cannot run yet do nothing.

#include "views/tablepage.h"
#include "project/documentui.h"

class CVetraDoc;
class QTableView;
class CObjectListModel;

class CObjectListPage : public CTablePage, public IDocumentView
{
    Q_OBJECT
public:
    CObjectListPage(CVetraDoc &document, QWidget *parent = nullptr);
    ~CObjectListPage() override;

    void Print() override {}
    void ExportGraphic() override {}
    void ExportCsv() override {}
    void SelectAll() override;
    void DeleteSelection() override {}
    void Copy() override {}
    void Paste() override {}

    bool CanSelectAll() const override;
    bool CanDelete() const override;
    bool CanCopy() const override;

    void Retranslate() override;
    void OnDocumentUpdate(int index) override;

private:
    CVetraDoc &m_document;
    CObjectListModel *m_model;
    QTableView *m_view;
};
