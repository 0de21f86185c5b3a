#include "daycivil/daycivil.hpp"

#include "calendar/civil.hpp"

int daycivil(std::string_view date, textio::Sortie& out) noexcept {
  using civil::Defaut;
  if (date.size() > 10) return textio::echec(out, "format date errone", 9);
  const civil::Lecture l = civil::lire(date);
  switch (l.defaut) {
    case Defaut::separateur1: return textio::echec(out, "erreur de format ", 1);
    case Defaut::jour: return textio::echec(out, "Jour hors limites", 2);
    case Defaut::separateur2: return textio::echec(out, "erreur de format ", 3);
    case Defaut::mois: return textio::echec(out, "mois republicain inconnu ", 10);
    case Defaut::complementaire: return textio::echec(out, "jour complementaire inconnu", 8);
    case Defaut::annee: return textio::echec(out, "annee mal ecrite", 4);
    case Defaut::sextile: return textio::echec(out, "Annee non sextile, jour hors limite", 8);
    case Defaut::aucun: break;
  }
  calendar::Resultat r;
  civil::traduc(out, r, l.jour, l.mois, l.annee);
  textio::ecrire_ligne(out, calendar::texte(r));
  return 0;
}
