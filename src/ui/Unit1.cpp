#include "ui/Unit1.h"

#include "net/IdWhois.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"
#include "widgets/DesignFont.h"
#include "widgets/ErrorBox.h"
#include "widgets/ListBox.h"
#include "widgets/OpenDialog.h"
#include "widgets/OwnWindows.h"
#include "widgets/QtText.h"
#include "widgets/RichEdit.h"
#include "widgets/StatusBar.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace brinmor {

TForm1* Form1 = nullptr;

namespace {

QFrame* NewPanel(QWidget* parent, bool lowered) {
    auto* panel = new QFrame(parent);
    if (lowered)
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

// A header panel with its caption docked to the top and centred.
QLabel* NewCentredCaption(QFrame* panel) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 1, 1, 1);
    auto* label = new QLabel(panel);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout->addWidget(label);
    layout->addStretch();
    return label;
}

// The whois component's stored property values, applied after its constructor (which has
// already set the default server and port 43). The run replaces the proxy fields before use.
void ApplyStoredProperties(TIdWhois& whois) {
    whois.SetASCIIFilter(false);
    whois.SetInterceptEnabled(false);
    whois.SetRecvBufferSize(8192);
    TSocksInfo& socks = whois.SocksInfo();
    socks.Authentication = saNoAuthentication;
    socks.Host = "192.168.0.1";
    socks.Port = 1043;
    socks.Version = svSocks5;
}

QAction* NewItem(QObject* parent) {
    return new QAction(parent);
}

void SetCaption(QAction* item, const char* caption) {
    item->setText(ToQString(caption));
}
void SetCaption(QMenu* menu, const char* caption) {
    menu->setTitle(ToQString(caption));
}
void SetCaption(QLabel* label, const char* caption) {
    label->setText(ToQString(caption));
}
void SetCaption(QPushButton* button, const char* caption) {
    button->setText(ToQString(caption));
}

// A row that names another component takes the caption that one holds now.
void CopyCaption(QAction* item, const QAction* from) {
    item->setText(from->text());
}

} // namespace

struct TForm1::CaptionTable {
    const char* fichier;
    const char* importer;
    const char* viderLaListe;
    const char* ajouter;
    const char* supprimer;
    const char* label1;
    const char* label2;
    const char* label3;
    const char* button1;
    const char* quitter;
    const char* configuration;
    const char* parametres;
    const char* help;
    const char* about;
};

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), IdWhois1(std::make_unique<TIdWhois>()),
      OpenDialog1(std::make_unique<TOpenDialog>()) {
    setWindowTitle(QStringLiteral("Brinmor v2.0"));
    setFont(DesignFont());
    resize(699, 598);

    ApplyStoredProperties(*IdWhois1);
    OpenDialog1->Filter = "Text|*.txt";

    MainMenu1 = menuBar();
    PopupMenu1 = new QMenu(this);
    Ajouter1 = NewItem(this);
    Supprimer1 = NewItem(this);
    Importer1 = NewItem(this);
    Fichier1 = new QMenu(this);
    Importer2 = NewItem(this);
    Quitter1 = NewItem(this);
    Viderlaliste2 = NewItem(this);
    Ajouter2 = NewItem(this);
    Supprimer2 = NewItem(this);
    Configuration2 = new QMenu(this);
    Paramtreduproxy1 = NewItem(this);
    Viderlaliste1 = NewItem(this);

    StatusBar1 = new TStatusBar(this);
    StatusBar1->setFixedHeight(19);
    setStatusBar(StatusBar1);

    auto* client = new QWidget(this);
    auto* columns = new QHBoxLayout(client);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    setCentralWidget(client);

    // Left column: search list, run button, stored names.
    Panel3 = NewPanel(client, false);
    Panel3->setFixedWidth(217);
    auto* left = new QVBoxLayout(Panel3);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    Panel4 = NewPanel(Panel3, true);
    Panel4->setFixedHeight(20);
    Label1 = NewCentredCaption(Panel4);
    ListBox1 = new TListBox(Panel3);
    ListBox1->setFixedHeight(169);
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Panel6 = NewPanel(Panel3, false);
    Panel6->setFixedHeight(28);
    Button1 = new QPushButton(Panel6);
    Button1->setGeometry(56, 3, 105, 17);
    Button1->setAutoDefault(true);
    Panel5 = NewPanel(Panel3, true);
    Panel5->setFixedHeight(20);
    Label3 = NewCentredCaption(Panel5);
    ListBox2 = new TListBox(Panel3);
    ListBox2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox2->SetSorted(true);
    left->addWidget(Panel4);
    left->addWidget(ListBox1);
    left->addWidget(Panel6);
    left->addWidget(Panel5);
    left->addWidget(ListBox2, 1);

    // Right side: the result pane under its header.
    Panel1 = NewPanel(client, false);
    auto* right = new QVBoxLayout(Panel1);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    Panel2 = NewPanel(Panel1, true);
    Panel2->setFixedHeight(20);
    Label2 = new QLabel(Panel2);
    Label2->move(7, 3);
    RichEdit1 = new TRichEdit(Panel1);
    // Every answer shows in bold.
    RichEdit1->setFont(DesignFont(8, true));
    right->addWidget(Panel2);
    right->addWidget(RichEdit1, 1);

    columns->addWidget(Panel3);
    columns->addWidget(Panel1, 1);

    PopupMenu2 = new QMenu(this);
    Supprimer3 = NewItem(this);
    Help1 = new QMenu(this);
    About1 = NewItem(this);

    // Menus, in order; no shortcuts, access keys, icons or separators.
    MainMenu1->addMenu(Fichier1);
    Fichier1->addActions({Ajouter2, Supprimer2, Viderlaliste2, Importer2, Quitter1});
    MainMenu1->addMenu(Configuration2);
    Configuration2->addAction(Paramtreduproxy1);
    MainMenu1->addMenu(Help1);
    Help1->addAction(About1);
    PopupMenu1->addActions({Ajouter1, Supprimer1, Viderlaliste1, Importer1});
    PopupMenu2->addAction(Supprimer3);
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });
    ListBox2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(ListBox2->viewport()->mapToGlobal(at)); });

    // Only the run button takes the focus from the Tab key.
    for (QWidget* skipped : std::initializer_list<QWidget*>{ListBox1, ListBox2, RichEdit1})
        skipped->setFocusPolicy(Qt::ClickFocus);
    Button1->setFocusPolicy(Qt::StrongFocus);
    Button1->setFocus();

    // One handler per command, shared by its main-menu and context-menu items.
    const auto wire = [this](QAction* item, void (TForm1::*handler)()) {
        connect(item, &QAction::triggered, this, Command([this, handler] { (this->*handler)(); }));
    };
    wire(Ajouter1, &TForm1::Ajouter1Click);
    wire(Ajouter2, &TForm1::Ajouter1Click);
    wire(Supprimer1, &TForm1::Supprimer1Click);
    wire(Supprimer2, &TForm1::Supprimer1Click);
    wire(Importer1, &TForm1::Importer1Click);
    wire(Importer2, &TForm1::Importer1Click);
    wire(Viderlaliste1, &TForm1::Viderlaliste2Click);
    wire(Viderlaliste2, &TForm1::Viderlaliste2Click);
    wire(Quitter1, &TForm1::Quitter1Click);
    wire(Paramtreduproxy1, &TForm1::Paramtreduproxy1Click);
    wire(Supprimer3, &TForm1::Supprimer3Click);
    wire(About1, &TForm1::About1Click);
    connect(Button1, &QPushButton::clicked, this, Command([this] { Button1Click(); }));
    // Reading the item at index -1 would raise the list error.
    connect(ListBox2, &TListBox::UserSelectionChanged, this, Command([this] {
                if (ListBox2->ItemIndex() >= 0)
                    ListBox2Click();
            }));

    ApplyInitialCaptions();
    SetOwnWindowClosedHandler([this] { FormActivate(); });
    RunCommand([this] { FormCreate(); });
}

TForm1::~TForm1() {
    SetOwnWindowClosedHandler(nullptr);
}

void TForm1::ApplyInitialCaptions() {
    SetCaption(Fichier1, "Nom de domaine");
    SetCaption(Importer1, "Importer");
    SetCaption(Importer2, "Importer liste");
    SetCaption(Viderlaliste1, "Vider la liste");
    SetCaption(Viderlaliste2, "Vider la liste de recherche");
    SetCaption(Ajouter1, "Ajouter");
    SetCaption(Ajouter2, "Ajouter");
    SetCaption(Supprimer1, "Supprimer");
    SetCaption(Supprimer2, "Supprimer");
    SetCaption(Supprimer3, "Supprimer");
    SetCaption(Label1, "Liste de recherche des noms de domaines");
    SetCaption(Label2, "R\xE9sultat");
    SetCaption(Label3, "Liste des noms de domaines d\xE9j\xE0 recherch\xE9");
    SetCaption(Button1, "Lancer le whois");
    SetCaption(Quitter1, "Quitter");
    SetCaption(Configuration2, "Configuration");
    SetCaption(Paramtreduproxy1, "Param\xE8tre du proxy");
    SetCaption(Help1, "Help");
    SetCaption(About1, "About");
    Label2->adjustSize();
}

void TForm1::ApplyCaptions(const CaptionTable& t) {
    SetCaption(Fichier1, t.fichier);
    SetCaption(Importer1, t.importer);
    CopyCaption(Importer2, Importer1);
    SetCaption(Viderlaliste1, t.viderLaListe);
    CopyCaption(Viderlaliste2, Viderlaliste1);
    SetCaption(Ajouter1, t.ajouter);
    CopyCaption(Ajouter2, Ajouter1);
    SetCaption(Supprimer1, t.supprimer);
    CopyCaption(Supprimer2, Supprimer1);
    CopyCaption(Supprimer3, Supprimer1);
    SetCaption(Label1, t.label1);
    SetCaption(Label2, t.label2);
    SetCaption(Label3, t.label3);
    SetCaption(Button1, t.button1);
    SetCaption(Quitter1, t.quitter);
    SetCaption(Configuration2, t.configuration);
    SetCaption(Paramtreduproxy1, t.parametres);
    SetCaption(Help1, t.help);
    SetCaption(About1, t.about);
    Label2->adjustSize();
}

void TForm1::TranslateAnglais() {
    static constexpr CaptionTable kEnglish = {
        "Domain name",
        "Import list",
        "Clear list",
        "Add name to list",
        "Remove name to list",
        "Domain name search list",
        "Result",
        "Domain name find",
        "Start whois",
        "Quit",
        "Configuration",
        "Proxy param.",
        "Help",
        "About",
    };
    ApplyCaptions(kEnglish);
}

void TForm1::TranslateFrancais() {
    static constexpr CaptionTable kFrench = {
        "Nom de domaine",
        "Importer une liste",
        "Vider la liste",
        "Ajouter un nom \xE0 la liste",
        "Supprimer un nom de la liste",
        "Liste de noms de domaine \xE0 chercher",
        "R\xE9sultat",
        "Noms de domaine trouv\xE9s",
        "Lancer le whois",
        "Quitter",
        "Configuration",
        "Param\xE8tres du proxy",
        "Aide",
        "A Propos",
    };
    ApplyCaptions(kFrench);
}

void TForm1::FormCreate() {
    Affiche_rechercher_termine();
}

void TForm1::FormActivate() {
    Form2->ReadIniFile();
    if (Form2->LanguageCode == "en") {
        TranslateAnglais();
        Form2->TranslateAnglais();
    } else {
        TranslateFrancais();
        Form2->TranslateFrancais();
    }
}

void TForm1::Paramtreduproxy1Click() {
    Form2->exec();
    NotifyOwnWindowClosed();
}

void TForm1::About1Click() {
    Form6->exec();
    NotifyOwnWindowClosed();
}

void TForm1::Quitter1Click() {
    QCoreApplication::quit();
}

bool TForm1::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // The first activation waits until the window is on screen and active, as the
    // platform's does: a box it raises then has the window behind it. The window system
    // reports the two in either order; the handler runs after the event that completes them.
    const QEvent::Type type = event->type();
    if (!activated_ && !activationQueued_ &&
        (type == QEvent::WindowActivate || type == QEvent::Paint)) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { FirstActivation(); });
    }
    return handled;
}

void TForm1::FirstActivation() {
    activationQueued_ = false;
    if (activated_ || !isActiveWindow() || !testAttribute(Qt::WA_Mapped))
        return;
    activated_ = true;
    RunCommand([this] { FormActivate(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The close box ends the program as "Quitter" does, without a question.
    event->accept();
    QCoreApplication::quit();
}

} // namespace brinmor
