#pragma once

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

namespace brinmor {

class TIdWhois;
class TListBox;
class TOpenDialog;
class TRichEdit;
class TStatusBar;

// The main window: the search list, the run, the stored results and their display.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    std::unique_ptr<TIdWhois> IdWhois1;
    QMenuBar* MainMenu1;
    QMenu* PopupMenu1;
    QAction* Ajouter1;
    QAction* Supprimer1;
    QAction* Importer1;
    std::unique_ptr<TOpenDialog> OpenDialog1;
    QMenu* Fichier1;
    QAction* Importer2;
    QAction* Quitter1;
    QAction* Viderlaliste2;
    QAction* Ajouter2;
    QAction* Supprimer2;
    QMenu* Configuration2;
    QAction* Paramtreduproxy1;
    QAction* Viderlaliste1;
    TStatusBar* StatusBar1;
    QFrame* Panel1;
    TRichEdit* RichEdit1;
    QFrame* Panel2;
    QLabel* Label2;
    QFrame* Panel3;
    QFrame* Panel4;
    QLabel* Label1;
    TListBox* ListBox1;
    QFrame* Panel5;
    QLabel* Label3;
    TListBox* ListBox2;
    QFrame* Panel6;
    QPushButton* Button1;
    QMenu* PopupMenu2;
    QAction* Supprimer3;
    QMenu* Help1;
    QAction* About1;

    // Event handlers (the sender is not looked at, so none takes it).
    void Button1Click();
    void Ajouter1Click();
    void Supprimer1Click();
    void Importer1Click();
    void Viderlaliste2Click();
    void Affiche_rechercher_termine();
    void ListBox2Click();
    void FormCreate();
    void Paramtreduproxy1Click();
    void Supprimer3Click();
    void TranslateAnglais();
    void TranslateFrancais();
    void Quitter1Click();
    void FormActivate();
    void About1Click();

    std::string Recherche_domaine(const std::string& name);
    void Enregistre_resultat(const std::string& fileName, const std::string& answer);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct CaptionTable;
    void ApplyInitialCaptions();
    void ApplyCaptions(const CaptionTable& table);
    void FirstActivation();
    // The file of the stored name at index; -1 raises the list error.
    std::filesystem::path ResultFileAt(int index) const;

    bool activated_ = false;
    bool activationQueued_ = false;
    // The files the stored names were listed from, by the tag of their item: a name does not
    // always lead back to its file (letter case, names that are not Windows-1252).
    std::vector<std::filesystem::path> resultFiles_;
};

// The one main window of the program, created first at start-up.
extern TForm1* Form1;

} // namespace brinmor
