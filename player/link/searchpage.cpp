// TForm1's search page (field, field choice, result list) and its commands: adding results to the
// current playlist, and the menu items that start the database window and the playlist generator.
#include "player/form1.h"

#include "controls/vqlistview.h"
#include "player/link/searcharea.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace player {

void TForm1::buildDatabaseLink()
{
    TabSheet2 = LVFindResult->parentWidget();
    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel(QStringLiteral("Найти:"), TabSheet2);
    findLabel->setObjectName(QStringLiteral("lbFindText"));
    edFindText = new QLineEdit(TabSheet2);
    edFindText->setObjectName(QStringLiteral("edFindText"));
    auto* indexLabel = new QLabel(QStringLiteral("Индекс:"), TabSheet2);
    indexLabel->setObjectName(QStringLiteral("lbFindIndex"));
    cbFindIndex = new QComboBox(TabSheet2);
    cbFindIndex->setObjectName(QStringLiteral("cbFindIndex"));
    cbFindIndex->addItems({QStringLiteral("Название"), QStringLiteral("Исполнитель"), QStringLiteral("Альбом"),
                           QStringLiteral("Год"), QStringLiteral("Жанр"), QStringLiteral("Комментарий"),
                           QStringLiteral("Время"), QStringLiteral("Имя файла")});
    cbFindIndex->setCurrentIndex(0);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(edFindText, 0, 1);
    fields->addWidget(indexLabel, 1, 0);
    fields->addWidget(cbFindIndex, 1, 1);
    // Says on the page itself that the database does not answer (no box: the page may be used
    // while something is on air).
    lbSearchUnavailable = new QLabel(TabSheet2);
    lbSearchUnavailable->setObjectName(QStringLiteral("lbSearchUnavailable"));
    lbSearchUnavailable->setWordWrap(true);
    lbSearchUnavailable->hide();
    if (auto* page = qobject_cast<QVBoxLayout*>(TabSheet2->layout())) {
        page->insertLayout(0, fields);
        page->insertWidget(1, lbSearchUnavailable);
    }

    LVFindResult->setColumns({QStringLiteral("Исполнитель"), QStringLiteral("Название"), QStringLiteral("Время"),
                              QStringLiteral("FileName")});
    LVFindResult->header()->resizeSection(0, 118);
    LVFindResult->header()->resizeSection(1, 118);
    LVFindResult->header()->resizeSection(3, 0);

    ppfind = new QMenu(this);
    ppfind->setObjectName(QStringLiteral("ppfind"));
    N43 = ppfind->addAction(QStringLiteral("Добавить все"));
    N43->setObjectName(QStringLiteral("N43"));
    LVFindResult->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LVFindResult, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { ppfind->popup(LVFindResult->viewport()->mapToGlobal(p)); });

    N34 = new QAction(QStringLiteral("Запустить"), this);
    N34->setObjectName(QStringLiteral("N34"));
    N34->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    N46 = new QAction(QStringLiteral("База"), this);
    N46->setObjectName(QStringLiteral("N46"));
    startgen = new QAction(QStringLiteral("Создать..."), this);
    startgen->setObjectName(QStringLiteral("startgen"));
    startgen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    for (QAction* a : {N34, startgen}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    mBase->addAction(N34);
    mPlaylist->addAction(startgen);
    TrayMenu->insertAction(N20Tray, N46);  // between "Плеер" and "Выход"

    connect(edFindText, &QLineEdit::textChanged, this, [this] { edFindTextChange(); });
    connect(cbFindIndex, &QComboBox::activated, this, [this] { edFindTextChange(); });
    connect(LVFindResult, &QAbstractItemView::doubleClicked, this, [this] { LVFindResultDblClick(); });
    connect(N43, &QAction::triggered, this, [this] { N43Click(); });
    connect(N34, &QAction::triggered, this, [this] { N34Click(); });
    connect(N46, &QAction::triggered, this, [this] { N34Click(); });
    connect(startgen, &QAction::triggered, this, [this] { startgenClick(); });
}

QString TForm1::SearchUnavailableText() const
{
    return SearchAreaProblem.isEmpty() ? Messages[2] : SearchAreaProblem;
}

void TForm1::SetSearchPageEnabled(bool on)
{
    for (QWidget* control : TabSheet2->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != lbSearchUnavailable)
            control->setEnabled(on);
    lbSearchUnavailable->setText(SearchUnavailableText());
    lbSearchUnavailable->setVisible(!on);
}

void TForm1::SearchUnavailable()
{
    // Results left under a query that was never answered would pass for its answer. The field
    // stays usable: a restart of the server (profile, settings) brings the answers back.
    LVFindResult->selectionModel()->clearSelection();
    LVFindResult->ClearRows();
    lbSearchUnavailable->setText(SearchUnavailableText());
    lbSearchUnavailable->show();
}

void TForm1::LVFindResultDblClick()
{
    const int selected = LVFindResult->firstSelectedRow();
    if (selected < 0 || selected >= LVFindResult->rowCount())
        return;
    CurrentList->Rows.push_back(FoundRowToPlaylistRow(LVFindResult->Rows[static_cast<std::size_t>(selected)], QString()));
    CurrentList->syncView();
    RenumberList();
}

void TForm1::N43Click()
{
    for (const controls::TVirtualItem& found : LVFindResult->Rows)
        CurrentList->Rows.push_back(FoundRowToPlaylistRow(found, QStringLiteral("x")));
    CurrentList->syncView();
    RenumberList();
}

}  // namespace player
