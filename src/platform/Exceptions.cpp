#include "platform/Exceptions.h"

namespace brinmor {

EConvertError EConvertError::NotAnInteger(const std::string& text) {
    // The message is Windows-1252 text: 0xE8 is "è".
    return EConvertError("'" + text + "' n'est pas une valeur enti\xE8re correcte");
}

EStringListError EStringListError::IndexOutOfBounds(int index) {
    return EStringListError("Indice de liste hors limites (" + std::to_string(index) + ")");
}

EInOutError::EInOutError(int errorCode) : Exception(MessageFor(errorCode)), errorCode_(errorCode) {}

std::string EInOutError::MessageFor(int errorCode) {
    switch (errorCode) {
    case 2:
        return "Fichier introuvable";
    case 3:
        return "Nom de fichier incorrect";
    case 4:
        return "Trop de fichiers ouverts";
    case 5:
        return "Acc\xE8s au fichier refus\xE9";
    case 100:
        return "Lecture au-del\xE0 de la fin de fichier";
    case 101:
        return "Disque plein";
    case 106:
        return "Saisie num\xE9rique incorrecte";
    default:
        return "Erreur E/S " + std::to_string(errorCode);
    }
}

} // namespace brinmor
