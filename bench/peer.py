#!/usr/bin/env python3
"""The batchcivil job as a short Python script would do it, for scale:
   peer.py IN   writes IN.py.Greg, one line per input line.
Written here from the calendar's rules, with the standard library only:
each valid DD/MMMM/YY of the years 1 to 14 becomes its Gregorian date,
anything else an empty line and a message naming the line."""
import datetime
import sys

MOIS = {m: i for i, m in enumerate(
    "VEND BRUM FRIM NIVO PLUV VENT GERM FLOR PRAI MESS THER FRUC COMP".split())}
DEBUT = datetime.date(1792, 9, 22).toordinal()  # 1 VEND 1
SEXTILES = (3, 7, 11)


def debut_annee(y):
    return DEBUT + 365 * (y - 1) + sum(1 for s in SEXTILES if s < y)


def main(chemin):
    with open(chemin, "rb") as src, open(chemin + ".py.Greg", "w") as dst:
        out = sys.stdout
        for n, ligne in enumerate(src, 1):
            t = ligne.decode("latin-1").rstrip("\n")
            try:
                j, m, a = t.split("/")
                j, m, a = int(j), MOIS[m], int(a)
                dernier = 30 if m < 12 else 6 if a in SEXTILES else 5
                if not (1 <= j <= dernier and 1 <= a <= 14):
                    raise ValueError
                d = datetime.date.fromordinal(debut_annee(a) + 30 * m + j - 1)
                dst.write(d.strftime("%d/%m/%Y\n"))
            except (ValueError, KeyError):
                dst.write("\n")
                out.write("ligne %d\n" % n)


main(sys.argv[1])
