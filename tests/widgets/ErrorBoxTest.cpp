#include "widgets/ErrorBox.h"

#include "platform/Exceptions.h"
#include "support/ScriptedDialogs.h"
#include "widgets/OwnWindows.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Fin.", "Fin."},
        {"Fin!", "Fin!"},
        {"(x)", "(x)"},
        {"dit \"x\"", "dit \"x\""},
        {"blanc ", "blanc "},
        {"Disque plein", "Disque plein."},
        {"Erreur E/S 5", "Erreur E/S 5."},
        {"refus\xE9", "refus\xE9."},
        {"Quoi?", "Quoi?."},
        {"Socket Error # 1:", "Socket Error # 1:."},
        {"", ""},
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

TEST(ErrorBox, AnActivationThatFailsIsReportedWithoutEndingTheCommand) {
    test::ScriptedDialogs dialogs;
    int activations = 0;
    SetOwnWindowClosedHandler([&] {
        ++activations;
        throw EConvertError::NotAnInteger("abc");
    });
    bool after = false;
    RunCommand([&] {
        AppDialogs().ShowMessage("Connexion impossible");
        after = true;
    });
    SetOwnWindowClosedHandler(nullptr);
    EXPECT_EQ(activations, 1);
    EXPECT_TRUE(after);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "'abc' n'est pas une valeur enti\xE8re correcte.");
}

} // namespace
} // namespace brinmor
