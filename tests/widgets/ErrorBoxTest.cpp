#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "support/ScriptedDialogs.h"
#include "widgets/ErrorBox.h"

namespace brinmor {
namespace {

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Fin.", "Fin."},         {"Fin!", "Fin!"},   {"(x)", "(x)"},
        {"dit \"x\"", "dit \"x\""}, {"blanc ", "blanc "}, {"Disque plein", "Disque plein."},
        {"Erreur E/S 5", "Erreur E/S 5."}, {"refus\xE9", "refus\xE9."}, {"Quoi?", "Quoi?."},
        {"Socket Error # 1:", "Socket Error # 1:."}, {"", ""},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(ErrorBoxText(message), shown) << message;
}

TEST(ErrorBox, ACommandThatThrowsIsReportedAndTheCallerGoesOn) {
    test::ScriptedDialogs dialogs;
    bool after = false;
    RunCommand([] { throw EInOutError(2); });
    RunCommand([&] { after = true; });
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "Fichier introuvable.");
    EXPECT_TRUE(after);
}

} // namespace
} // namespace brinmor
