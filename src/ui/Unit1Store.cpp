// The result store: one file per looked-up name in result/ beside the executable, the list of
// stored names, the coloured display of one result, and its deletion.
#include "platform/AtomicFile.h"
#include "platform/DateTimeText.h"
#include "platform/DirectoryEntries.h"
#include "platform/ExecutableDirectory.h"
#include "platform/FileError.h"
#include "platform/Path.h"
#include "platform/ResultName.h"
#include "platform/TextFile.h"
#include "platform/Utf8Text.h"
#include "ui/Unit1.h"
#include "widgets/ListBox.h"
#include "widgets/QtText.h"
#include "widgets/RichEdit.h"

#include <algorithm>
#include <vector>

namespace brinmor {

namespace {

constexpr const char* kExtension = ".dns";
constexpr unsigned kNavy = 0x800000;
constexpr unsigned kAfterRegistrant = 1000;

} // namespace

void TForm1::Enregistre_resultat(const std::string& fileName, const std::string& answer) {
    // Checked first: a name must never reach a path outside result/.
    CheckResultFileName(fileName);
    const std::filesystem::path path = ResultDirectory() / FileSystemPath(fileName);
    // Written lines end in CR LF. The file is replaced whole, so a failed write keeps the
    // earlier result and leaves no partial file.
    try {
        ReplaceFileContents(path, NowText() + "\r\n\r\n" + answer + "\r\n");
    } catch (const EOSError& e) {
        throw EInOutError(WindowsFileErrorCode(e.ErrorCode(), path));
    }
}

std::filesystem::path TForm1::ResultFileAt(int index) const {
    const auto tag = static_cast<std::size_t>(ListBox2->Tag(index));
    return ResultDirectory() / resultFiles_.at(tag);
}

void TForm1::Affiche_rechercher_termine() {
    resultFiles_ = DirectoryEntries(ResultDirectory(), kExtension);
    std::vector<TListBox::Entry> entries;
    entries.reserve(resultFiles_.size());
    for (std::size_t i = 0; i < resultFiles_.size(); ++i) {
        QString name = FileNameToQString(resultFiles_[i]);
        name.chop(4);
        entries.push_back({std::move(name), static_cast<int>(i)});
    }
    // One refill, one sort: the list must keep up with many thousands of results.
    ListBox2->SetEntries(std::move(entries));
}

void TForm1::ListBox2Click() {
    const std::filesystem::path file = ResultFileAt(ListBox2->ItemIndex());
    // Read it all first: a failure leaves the pane as it was, and the encoding is chosen for
    // the whole result.
    std::vector<std::string> lines;
    TextFileReader reader(file);
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    reader.Close();

    // Most registrars answer in UTF-8; stored bytes stay as they are, only the display decodes.
    const bool anyNonAscii =
        std::any_of(lines.begin(), lines.end(), [](const auto& l) { return HasNonAscii(l); });
    const auto encoding = anyNonAscii && std::all_of(lines.begin(), lines.end(),
                                                     [](const auto& l) { return IsValidUtf8(l); })
                              ? TRichEdit::Encoding::Utf8
                              : TRichEdit::Encoding::Cp1252;

    RichEditUpdate update(*RichEdit1);
    RichEdit1->Clear();
    RichEdit1->SetAttributes(kNavy, true);
    for (const std::string& shown : lines) {
        RichEdit1->AppendLine(shown, encoding);
        if (shown == "Registrant:")
            RichEdit1->SetAttributes(kAfterRegistrant, true);
    }
}

void TForm1::Supprimer3Click() {
    const std::filesystem::path file = ResultFileAt(ListBox2->ItemIndex());
    // Whether it went is not looked at: a vanished file or a folder is passed over.
    RemoveFile(file);
    Affiche_rechercher_termine();
}

} // namespace brinmor
