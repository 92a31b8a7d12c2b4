#include <cstring>

#include "channels/reply_log.hpp"
#include "numtext/numtext.hpp"

namespace channels {

void io_error_text(uint32_t code, char* text) {
    struct known { uint32_t code; const char* text; };
    static const known texts[] = {
        {2, "Fichier introuvable"},
        {3, "Nom de fichier incorrect"},
        {4, "Trop de fichiers ouverts"},
        {5, "Acc\xE8s au fichier refus\xE9"},
        {100, "Lecture au del\xE0 de la fin de fichier"},
        {101, "Disque plein"},
        {106, "Saisie num\xE9rique incorrecte"},
    };
    for (const known& k : texts) {
        if (k.code == code) {
            std::strcpy(text, k.text);
            return;
        }
    }
    static const char prefix[] = "Erreur E/S ";
    std::memcpy(text, prefix, sizeof prefix - 1);
    // Codes above INT32_MAX are shown as the signed number they are read as.
    const std::size_t n = numtext::format_integer(static_cast<int32_t>(code), text + sizeof prefix - 1);
    text[sizeof prefix - 1 + n] = '\0';
}

}  // namespace channels
