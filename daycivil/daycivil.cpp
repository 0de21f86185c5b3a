#include "daycivil/daycivil.hpp"

#include "calendar/civil.hpp"

int daycivil(std::string_view date, ecriture::Sortie& out) noexcept {
  using civil::Defaut;
  if (date.size() > 10) return ecriture::echec(out, "format date errone", 9);
  const civil::Lecture l = civil::lire(date);
  switch (l.defaut) {
    case Defaut::separateur1: return ecriture::echec(out, "erreur de format ", 1);
    case Defaut::jour: return ecriture::echec(out, "Jour hors limites", 2);
    case Defaut::separateur2: return ecriture::echec(out, "erreur de format ", 3);
    case Defaut::mois: return ecriture::echec(out, "mois republicain inconnu ", 10);
    case Defaut::complementaire: return ecriture::echec(out, "jour complementaire inconnu", 8);
    case Defaut::annee: return ecriture::echec(out, "annee mal ecrite", 4);
    case Defaut::sextile: return ecriture::echec(out, "Annee non sextile, jour hors limite", 8);
    case Defaut::aucun: break;
  }
  calendar::Resultat r;
  if (civil::traduc(r, l.jour, l.mois, l.annee) == calendar::Issue::apres)
    ecriture::ecrire_ligne(out, "date républicaine hors limite, le résultat peut être erroné");
  ecriture::ecrire_ligne(out, calendar::texte(r));
  return 0;
}
