// Editing of the search list: add a typed name, remove the selected names, import a text
// file, empty the list.
#include "platform/TextFile.h"
#include "ui/Unit1.h"
#include "widgets/Dialogs.h"
#include "widgets/ListBox.h"
#include "widgets/OpenDialog.h"

#include <QCoreApplication>

namespace brinmor {

void TForm1::Ajouter1Click() {
    // The caption and the prompt are French in both interface languages.
    const auto name =
        AppDialogs().InputQuery("Nom domaine", "Nom de domaine \xE0 rechercher ?", 255);
    if (name)
        ListBox1->Add(*name);
}

void TForm1::Supprimer1Click() {
    int i = 0;
    while (i < ListBox1->Count()) {
        if (ListBox1->Selected(i))
            ListBox1->Delete(i);
        else
            ++i;
    }
}

void TForm1::Viderlaliste2Click() {
    ListBox1->clear();
}

void TForm1::Importer1Click() {
    if (!OpenDialog1->Execute())
        return;
    TextFileReader file(OpenDialog1->FileName, TextFileReader::Encoding::UnicodeWhenMarked);
    std::string line;
    while (file.ReadLine(line)) {
        ListBox1->Add(line);
        // Let the window repaint and take input while a long file is read; a command started
        // meanwhile runs to its end before the next line.
        QCoreApplication::processEvents();
    }
    file.Close();
}

} // namespace brinmor
