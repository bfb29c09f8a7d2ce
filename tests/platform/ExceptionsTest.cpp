#include <gtest/gtest.h>

#include "platform/Exceptions.h"

namespace brinmor {
namespace {

TEST(Exceptions, InOutErrorMessagesByCode) {
    const std::pair<int, const char*> cases[] = {
        {2, "Fichier introuvable"},
        {3, "Nom de fichier incorrect"},
        {4, "Trop de fichiers ouverts"},
        {5, "Acc\xE8s au fichier refus\xE9"},
        {100, "Lecture au-del\xE0 de la fin de fichier"},
        {101, "Disque plein"},
        {106, "Saisie num\xE9rique incorrecte"},
        {112, "Erreur E/S 112"},
        {123, "Erreur E/S 123"},
    };
    for (const auto& [code, message] : cases) {
        const EInOutError error(code);
        EXPECT_EQ(error.Message(), message);
        EXPECT_EQ(error.ErrorCode(), code);
    }
}

TEST(Exceptions, ListIndexMessageCarriesTheIndex) {
    EXPECT_EQ(EStringListError::IndexOutOfBounds(-1).Message(), "Indice de liste hors limites (-1)");
}

} // namespace
} // namespace brinmor
