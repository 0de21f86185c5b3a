#include "dayrevo/dayrevo.hpp"

#include "calendar/revo.hpp"

int dayrevo(std::string_view date, ecriture::Sortie& out) noexcept {
  if (date.size() > 10) return ecriture::echec(out, "format date errone", 9);
  const revo::Lecture l = revo::lire(date);
  switch (l.forme) {
    case revo::Forme::separateur1: return ecriture::echec(out, "erreur de format ", 1);
    case revo::Forme::separateur2: return ecriture::echec(out, "erreur de format ", 3);
    case revo::Forme::annee: return ecriture::echec(out, "annee mal ecrite", 4);
    case revo::Forme::valide: break;
  }
  if (l.annee < 1792 || l.annee > 1805)
    ecriture::ecrire_ligne(out, "date républicaine hors limite, le résultat peut être erroné");
  switch (revo::verifier({l.jour, l.mois, l.annee})) {
    case revo::Jour::mois: return ecriture::echec(out, "mois hors limites ", 1);
    case revo::Jour::jour_bissextile: return ecriture::echec(out, "Jour hors limites ", 2);
    case revo::Jour::jour: return ecriture::echec(out, "Jour hors limites ", 1);
    case revo::Jour::valide: break;
  }
  calendar::Resultat r;
  revo::traduc(r, l.jour, l.mois, l.annee);
  ecriture::ecrire_ligne(out, calendar::texte(r));
  return 0;
}
