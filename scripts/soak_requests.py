"""Request templates of the soak run (scripts/soak): one table of single calls
over every family, plus the few sequences that need a handle or a result
from an earlier call. The driver draws from them, mutates the arguments of
the single calls into wrong kinds, empty, huge and hostile values, and
checks each answer against what the template expects.

Expectations: "ok" no error; "err" the component's numbered error; "host"
refused by the host; "any" whatever comes, provided that an error is
numbered or the host's own.

Arguments are JSON values, or markers that the driver draws afresh for
every call. Paths stay inside the run's temporary directory, zone and
variable names inside small fixed sets, so that everything a call creates
is bounded by the table, not by the number of calls: any growth of the
host's memory is then the component's or the host's own.
"""

import base64
import random


class Tire:
    """A marker: an argument drawn for each call by fn(rng, ctx)."""

    def __init__(self, fn, garde=None):
        self.fn = fn
        # None: any hostile value may replace it; "chemin": only other names
        # inside the directory; "fixe": never mutated.
        self.garde = garde


def chemin(nom):
    return Tire(lambda r, c: c.chemin(nom), "chemin")


def chemin_au_choix(*noms):
    return Tire(lambda r, c: c.chemin(r.choice(noms)), "chemin")


def fixe(valeur):
    return Tire(lambda r, c: valeur, "fixe")


def parmi(*valeurs):
    return Tire(lambda r, c: r.choice(valeurs))


def entier(lo, hi):
    return Tire(lambda r, c: r.randint(lo, hi))


def texte(n=24):
    return Tire(lambda r, c: c.texte(r, n))


def texte_ascii(n=24):
    return Tire(lambda r, c: c.texte_ascii(r, n))


def octets(n=64):
    return Tire(lambda r, c: {"bin": c.b64(r, n)})


def zone():
    return Tire(lambda r, c: r.choice(ZONES), "fixe")


def var(nom):
    return fixe({"var": nom})


def proc(retour=True):
    return fixe({"proc": "Soak", "returns": retour})


def date():
    return Tire(lambda r, c: "%04d%02d%02d" % (r.randint(1600, 2400), r.randint(1, 12), r.randint(1, 28)))


def heure():
    return Tire(lambda r, c: "%02d%02d%02d%02d" % (r.randint(0, 23), r.randint(0, 59), r.randint(0, 59),
                                                   r.randint(0, 99)))


ZONES = ["soakA", "soakB", "soakC"]
VARIABLES_ENV = ["QV_SOAK_A", "QV_SOAK_B"]

# Values that replace an argument in a mutated call: wrong kinds, empty,
# limits, huge and hostile bytes. Drawn by the driver, which owns the
# large payloads.
MUTANTS = [
    "", None, True, False, 0, -1, 1, 2147483647, -2147483648, 4294967296, -9223372036854775808,
    1e308, -0.0, 2.5, "0", "-1", "abc", "%s%n%x", "../../..", "\u00e9\u20ac\U0001F600",
    {"i8": 9223372036854775807}, {"i8": -1}, {"uni": "\u00e9\u00e8\u4e2d"}, {"cur": "99999999999999.999999"},
    {"cur": "-0.000001"}, {"dur": -1}, {"dur": 2147483647000}, {"datetime": "20241301250000000"},
    {"datetime": ""}, {"datetime": "x"}, {"bin": ""}, {"bin": "%%%"}, {"array": [1, 2]}, [1, 2], {"x": 1},
    {"var": "soakv"}, {"proc": "Soak"}, {"cur": "abc"}, {"i8": "x"}, {"uni": 3},
]

# ---- Single calls: (family, French name, arguments, expectation) ------------------------------------

APPELS = [
    # Dates and times.
    ("dates", "DateSys", [], "ok"),
    ("dates", "HeureSys", [], "ok"),
    ("dates", "DateDuJour", [], "ok"),
    ("dates", "Maintenant", [], "ok"),
    ("dates", "EntierVersDate", [entier(1, 300000)], "ok"),
    ("dates", "EntierVersDate", [entier(1, 300000), parmi("JJ/MM/AAAA", "AAAA-MM-JJ", "JJJJ MMMM")], "ok"),
    ("dates", "DateVersEntier", [date()], "ok"),
    ("dates", "DateVersChaîne", [date(), parmi("JJJJ JJ MMMM AAAA", "JJ/MM/AA", "MMM AAAA", "")], "ok"),
    ("dates", "HeureVersChaîne", [heure(), parmi("HH:MM:SS", "HH:MM:SS:CC", "")], "ok"),
    ("dates", "HeureVersEntier", [heure()], "ok"),
    ("dates", "EntierVersHeure", [entier(0, 8639999)], "ok"),
    ("dates", "DateValide", [date()], "ok"),
    ("dates", "HeureValide", [heure()], "ok"),
    ("dates", "NuméroDeSemaine", [date()], "ok"),
    ("dates", "EntierVersJourEnLettre", [entier(1, 300000)], "ok"),
    ("dates", "EntierVersMoisEnLettre", [entier(1, 300000)], "ok"),
    ("dates", "DateDifférence", [date(), date()], "ok"),
    ("dates", "HeureDifférence", [heure(), heure()], "ok"),
    ("dates", "DateHeureDifférence", [fixe("20240101120000"), fixe("20250615083000")], "ok"),
    ("dates", "ChaîneVersDate", [parmi("31/03/2024", "2024-03-31"), parmi("JJ/MM/AAAA", "AAAA-MM-JJ")], "any"),
    ("dates", "DateVersJourEnLettre", [date()], "ok"),
    ("dates", "DateVersMoisEnLettre", [date()], "ok"),
    ("dates", "ChaîneVersDurée", [parmi("02:30", "10:00:05"), parmi("HH:MM", "HH:MM:SS")], "ok"),
    ("dates", "DuréeVersChaîne", [Tire(lambda r, c: {"dur": r.randint(-10**9, 10**9)}), parmi(0, 1, "HH:MM:SS")],
     "ok"),
    ("dates", "Age", [date()], "any"),
    ("dates", "Pâques", [entier(1583, 4099)], "ok"),
    ("dates", "DateHeureUTCVersLocale", [fixe({"datetime": "20240701120000000"})], "ok"),
    ("dates", "DateHeureLocaleVersUTC", [fixe({"datetime": "20240101000000000"})], "ok"),
    ("dates", "DateHeureUTCVersLocale", [fixe({"datetime": ""})], "err"),
    # Numbers and currency.
    ("numbers", "NumériqueVersChaîne", [Tire(lambda r, c: r.uniform(-1e9, 1e9)), parmi("%5.2f", "%d", "%x", "%e")],
     "ok"),
    ("numbers", "NumériqueVersChaîne", [entier(-2**31, 2**31 - 1)], "ok"),
    ("numbers", "TailleVersChaîne", [Tire(lambda r, c: {"i8": r.randint(0, 2**50)})], "ok"),
    ("numbers", "EstPair", [entier(-2**31, 2**31 - 1)], "ok"),
    ("numbers", "EstImpair", [entier(-2**31, 2**31 - 1)], "ok"),
    ("numbers", "ZigouigouiARoulette", [entier(0, 1000)], "any"),
    ("numbers", "EstNumérique", [parmi("12.5", "abc", "", "1e3", 7)], "ok"),
    ("numbers", "Max", [texte(8), texte(8), texte(8)], "ok"),
    ("numbers", "Min", [Tire(lambda r, c: r.uniform(-9, 9)), 3, 2.5], "ok"),
    ("currency", "eVersEuro", [Tire(lambda r, c: {"cur": "%d.%02d" % (r.randint(0, 10**6), r.randint(0, 99))}),
                               entier(1, 12)], "ok"),
    ("currency", "eVersDevise", [fixe({"cur": "100"}), entier(1, 12), entier(0, 2), var("soakarrondi")], "any"),
    ("currency", "eChangeDevise", [fixe({"cur": "15.24"}), entier(0, 12), entier(0, 12)], "ok"),
    ("currency", "eTauxDeChange", [entier(0, 12)], "ok"),
    ("currency", "eNomDevise", [entier(0, 12)], "ok"),
    ("currency", "eTauxDeChange", [entier(13, 60000)], "err"),
    ("currency", "eDifférenceArrondi", [entier(0, 2)], "any"),
    # Encodings and checksums.
    ("encodings", "URLEncode", [texte(40)], "ok"),
    ("encodings", "URLDécode", [parmi("a%20b%2Bc", "%zz", "%", "%C3%A9")], "ok"),
    ("encodings", "UUEncode", [octets(90)], "ok"),
    ("encodings", "UUDécode", [parmi("begin 0666 uu\r\n#0V%T\r\nend\r\n", "begin", "", "begin 0666 x\r\nM\r\n")],
     "any"),
    ("checksums", "sCalculeCrc32", [octets(200)], "ok"),
    ("checksums", "sCalculeCrc32", [octets(200), entier(-2**31, 2**31 - 1)], "ok"),
    ("checksums", "sCalculeCrc16", [texte(100)], "ok"),
    # Compression and encryption of values (round trips are sequences).
    ("compression", "Compresse", [texte(300)], "ok"),
    ("compression", "Compresse", [octets(300)], "ok"),
    ("compression", "Décompresse", [octets(40)], "any"),
    ("encryption", "Crypte", [texte(60), texte(8), entier(0, 3)], "any"),
    ("encryption", "Décrypte", [texte(60), texte(8)], "any"),
    ("encryption", "Crypte", [texte(10), fixe("")], "err"),
    ("encryption", "Crypte", [texte(10), fixe("pw"), fixe(4)], "err"),
    # Phonetics, colours, random, identifiers, regular expressions, export.
    ("phonetics", "Phonétique", [texte(30)], "ok"),
    ("phonetics", "Phonétique", [parmi("Dupont", "Durand", "Ææ\u00df", "")], "ok"),
    ("colours", "RVB", [entier(0, 255), entier(0, 255), entier(0, 255)], "ok"),
    ("colours", "RVBRouge", [entier(0, 2**24)], "ok"),
    ("colours", "RVBVert", [entier(0, 2**24)], "ok"),
    ("colours", "RVBBleu", [entier(0, 2**24)], "ok"),
    ("colours", "TSL", [entier(0, 359), entier(0, 100), entier(0, 100)], "ok"),
    ("colours", "CouleurTeinte", [entier(0, 2**24)], "ok"),
    ("colours", "CouleurSaturation", [entier(0, 2**24)], "ok"),
    ("colours", "CouleurLuminosité", [entier(0, 2**24)], "ok"),
    ("random", "Hasard", [], "ok"),
    ("random", "Hasard", [entier(1, 1000)], "ok"),
    ("random", "Hasard", [entier(-50, 0), entier(1, 50)], "ok"),
    ("random", "InitHasard", [entier(0, 2**31 - 1)], "ok"),
    ("random", "InitHasard", [], "ok"),
    ("identifiers", "DonneGUID", [], "ok"),
    ("identifiers", "DonneGUID", [parmi(0, 1)], "ok"),
    ("regex", "VérifieExpressionRégulière", [texte(20), parmi("([a-z]+)([0-9]*)", ".*", "[", "(a|b)*c", "((((x))))"),
                                              var("soakg1"), var("soakg2")], "any"),
    ("regex", "VérifieExpressionRégulière", [fixe("abc12"), fixe("([a-z]+)([0-9]+)"), var("soakg1"),
                                              var("soakg2")], "ok"),
    ("regex", "VérifieExpressionRégulière", [Tire(lambda r, c: "a" * r.randint(0, 300)),
                                              fixe("(a*)*b")], "any"),
    ("export", "TableVersTexte", [Tire(lambda r, c: c.table(r)), parmi(0, 1, 3, 0x11, 0x81, 0x9B), fixe(";"),
                                  fixe("|")], "ok"),
    ("export", "TableVersTexte", [fixe(None)], "err"),
    ("export", "TableVersTexte", [Tire(lambda r, c: c.table(r)), fixe(4)], "err"),
    # Keyed tables (memory zones), over a fixed set of zones.
    ("keyed", "MemAjoute", [zone(), texte(12), texte(6)], "ok"),
    ("keyed", "MemAjoute", [zone(), entier(-100, 100), entier(0, 50)], "ok"),
    ("keyed", "MemRecherche", [zone(), texte(6)], "any"),
    ("keyed", "MemPremier", [zone()], "any"),
    ("keyed", "MemSuivant", [zone()], "any"),
    ("keyed", "MemDernier", [zone()], "any"),
    ("keyed", "MemPrécédent", [zone()], "any"),
    ("keyed", "MemOccurrence", [zone()], "any"),
    ("keyed", "MemTrie", [zone(), parmi(0, 1, 2, 3)], "any"),
    ("keyed", "MemRécupère", [zone(), entier(-1, 40)], "any"),
    ("keyed", "MemSupprime", [zone(), entier(-1, 40)], "any"),
    ("keyed", "MemModifie", [zone(), texte(8), texte(4), entier(-1, 40)], "any"),
    ("keyed", "MemSupprimeTout", [zone()], "any"),
    ("keyed", "MemExiste", [zone()], "ok"),
    ("keyed", "MemValClé", [zone()], "any"),
    # Diff of values (the round trip is a sequence).
    ("diff", "diffCrée", [octets(300), octets(300)], "any"),   # an empty source is refused
    ("diff", "diffApplique", [octets(300), octets(60)], "any"),
    # System.
    ("system", "SysEspace", [], "ok"),
    ("system", "SysEspace", [parmi(0, 1, 2)], "any"),
    ("system", "SysEspace", [fixe(3)], "err"),
    ("system", "SysEnvironnement", [], "ok"),
    ("system", "SysEnvironnement", [parmi("HOME", "TZ", "QV_SOAK_A", "ABSENT")], "ok"),
    ("system", "SysVersionWindows", [], "ok"),
    ("system", "VersionWindows", [], "err"),
    ("system", "ExeInfo", [parmi("Version", "FileDescription", "Mode", "Répertoire"), Tire(lambda r, c: c.module)],
     "any"),
    ("system", "ServiceExiste", [texte(8)], "ok"),
    ("system", "ServiceListe", [], "ok"),
    ("system", "fRépertoireTemp", [], "ok"),
    # Processes and environment: no launch here (see the periodic calls).
    ("processes", "ExeDonnePID", [], "ok"),
    ("processes", "ExeDonnePID", [parmi(5, 6)], "any"),
    ("processes", "SysChangeEnvironnement", [Tire(lambda r, c: r.choice(VARIABLES_ENV), "fixe"), texte(30)], "ok"),
    ("processes", "SysChangeEnvironnement", [fixe("A=B"), fixe("x")], "err"),
    # INI files, over a few sections and keys.
    ("ini", "INIEcrit", [parmi("S1", "S2", "S3"), parmi("k1", "k2", "k3", "k4"), texte_ascii(40),
                         chemin_au_choix("a.ini", "b.ini")], "ok"),
    ("ini", "INIEcrit", [parmi("S1", "S2", "S3"), parmi("k1", "k2", "k3", "k4"), texte(40),
                         chemin_au_choix("a.ini", "b.ini")], "any"),
    ("ini", "INILit", [parmi("S1", "S2", "S9"), parmi("k1", "k2", "k9"), fixe("def"),
                       chemin_au_choix("a.ini", "b.ini", "absent.ini")], "ok"),
    ("ini", "INILit", [parmi("S1", "S2"), fixe(""), fixe(""), chemin("a.ini")], "ok"),
    ("ini", "INIEcrit", [fixe("S1"), fixe("k1"), fixe("v"), fixe("/nonexistent/soak.ini")], "err"),
    # Files by name.
    ("files", "fSauveTexte", [chemin_au_choix("t1.txt", "t2.txt"), texte(200)], "ok"),
    ("files", "fSauveTexte", [chemin("t3.bin"), octets(200)], "ok"),
    ("files", "fChargeTexte", [chemin_au_choix("t1.txt", "t2.txt", "t3.bin", "absent")], "any"),
    ("files", "fFichierExiste", [chemin_au_choix("t1.txt", "absent")], "ok"),
    ("files", "fRépertoireExiste", [chemin_au_choix("d1", "absent")], "ok"),
    ("files", "fTaille", [chemin_au_choix("t1.txt", "t3.bin")], "any"),
    ("files", "fAttribut", [chemin_au_choix("t1.txt", "t2.txt")], "any"),
    ("files", "fDate", [chemin("t1.txt")], "any"),
    ("files", "fHeure", [chemin("t1.txt")], "any"),
    ("files", "fDateHeure", [chemin("t1.txt")], "any"),
    ("files", "fCopieFichier", [chemin("t1.txt"), chemin("t1c.txt")], "any"),
    ("files", "fRenomme", [chemin("t1c.txt"), chemin("t1r.txt")], "any"),
    ("files", "fDéplaceFichier", [chemin("t1r.txt"), chemin("t1m.txt")], "any"),
    ("files", "fSupprime", [chemin_au_choix("t1m.txt", "absent")], "any"),
    ("files", "fCompare", [chemin("t1.txt"), chemin("t2.txt")], "any"),
    ("files", "fExtraitChemin", [chemin("d1/x.txt"), entier(0, 31)], "any"),
    ("files", "fSéparateur", [chemin("d1/x.txt")], "any"),
    ("files", "fRepParent", [chemin("d1/x.txt")], "any"),
    ("files", "fListeFichier", [chemin("d1/*")], "ok"),
    ("files", "fListeFichier", [chemin("d1/*.txt"), proc()], "any"),
    ("files", "fListeRépertoire", [chemin("d1/*"), entier(0, 3)], "any"),
    ("files", "fRep", [chemin("d1/*")], "any"),
    ("files", "fSauveTexte", [chemin_au_choix("d1/a.txt", "d1/sous/b.txt"), texte(50)], "any"),
    ("files", "fRepTaille", [chemin("d1")], "any"),
    ("files", "fRepCrée", [chemin("d1/sous")], "ok"),
    ("files", "fAttributLectureSeule", [chemin("t2.txt"), parmi(False, False, True)], "any"),
    ("files", "fAttributLectureSeule", [chemin("t2.txt"), fixe(False)], "any"),
    ("files", "fFichierTemp", [], "ok"),
    ("files", "fChargeTexte", [fixe("/nonexistent/soak")], "err"),
    ("files", "fFerme", [entier(100, 5000)], "err"),
    ("files", "fLit", [entier(100, 5000), entier(1, 10)], "err"),
    # Shared zones: existence only here (the zone itself is a sequence).
    ("shared", "fMemExiste", [Tire(lambda r, c: "Z" + c.chemin("cle"), "fixe")], "ok"),
    ("shared", "fMemExiste", [Tire(lambda r, c: "Z" + c.chemin("absent"), "fixe")], "ok"),
]


# ---- Sequences: generators that yield (request, expectation) and receive each answer --------------------------

def appel(nom, args, attendu="ok", **extra):
    req = {"call": nom, "args": args}
    req.update(extra)
    return req, attendu


def seq_handle(r, c):
    """A file through a handle: create, write, seek, read, lock, resize, close."""
    rep = yield appel("fCrée", [c.chemin(r.choice(["h1.txt", "h2.txt"]))])
    h = rep.get("value")
    if not isinstance(h, int) or h < 0:
        return
    yield appel("fEcrit", [h, c.texte(r, 200)])
    yield appel("fEcritLigne", [h, {"bin": c.b64(r, 60)}])
    yield appel("fEcritLigne", [h, "ligne 2"])
    yield appel("fPositionne", [h, {"i8": 0}, 0])
    yield appel("fLit", [h, r.randint(0, 300)], result="bin")
    yield appel("fLitLigne", [h])
    yield appel("fLitLigne", [h, "([a-z]+)", {"var": "soakl"}], "any")
    yield appel("fTaille", [h])
    yield appel("fBloque", [h])
    yield appel("fDébloque", [h])
    yield appel("fChangeTaille", [h, {"i8": r.randint(0, 400)}])
    yield appel("fNomFichier", [h])
    yield appel("fLit", [h, r.choice([-1, 2**31 - 1])], "any")
    yield appel("fPositionne", [h, {"i8": -5}, 0], "any")
    yield appel("fLit", [h, 16, {"addr": {"var": "soakbuf", "size": 16}}], "any", overload=1)
    yield appel("fFerme", [h])
    yield appel("fFerme", [h], "err")


def seq_temp_handle(r, c):
    rep = yield appel("fOuvreFichierTemp", [])
    h = rep.get("value")
    if isinstance(h, int) and h >= 0:
        yield appel("fEcritLigne", [h, c.texte(r, 50)])
        yield appel("fFerme", [h])


def seq_zone_partagee(r, c):
    """A shared zone made, written, read and closed."""
    rep = yield appel("fMemOuvre", ["Z" + c.chemin("cle"), 64, 2, 3])
    h = rep.get("value")
    if isinstance(h, int) and h >= 0:
        yield appel("fEcritLigne", [h, c.texte(r, 40)])
        yield appel("fPositionne", [h, {"i8": 0}, 0], "any")
        yield appel("fLitLigne", [h], "any")
        yield appel("fFerme", [h])


def seq_compression(r, c):
    """Compresse, then Décompresse gives the bytes back."""
    brut = c.octets(r, r.randint(0, 2000), repetitif=True)
    rep = yield appel("Compresse", [{"bin": base64.b64encode(brut).decode()}])
    rep2 = yield appel("Décompresse", [rep.get("value")], "ok")
    if rep2.get("value") != {"bin": base64.b64encode(brut).decode()}:
        c.anomalie("Décompresse did not give back what Compresse was given")


def seq_cryptage(r, c):
    """Crypte then Décrypte with the same key gives the text back."""
    clair = c.texte_ascii(r, 80)
    cle = c.texte_ascii(r, 8) or "k"
    methode = r.choice([0, 1, 2, 3])
    rep = yield appel("Crypte", [clair, cle, methode], "any")
    if rep.get("error") is not None:
        return
    rep2 = yield appel("Décrypte", [rep.get("value"), cle, methode])
    if rep2.get("value") != clair:
        c.anomalie("Décrypte did not give back what Crypte was given")


def seq_diff(r, c):
    """diffCrée then diffApplique gives the second value."""
    a = c.octets(r, r.randint(1, 3000), repetitif=True)
    b = bytearray(a)
    for _ in range(r.randint(0, 20)):
        if b:
            b[r.randrange(len(b))] = r.randrange(256)
    b = bytes(b) + c.octets(r, r.randint(1, 50))   # never equal: the pair would be refused
    ja, jb = {"bin": base64.b64encode(a).decode()}, {"bin": base64.b64encode(b).decode()}
    rep = yield appel("diffCrée", [ja, jb])
    rep2 = yield appel("diffApplique", [ja, rep.get("value")])
    if rep2.get("value") != jb:
        c.anomalie("diffApplique did not give the value diffCrée was given")


def seq_fichiers_compactes(r, c):
    """A file compacted, measured and restored; then encrypted and decrypted."""
    src, cmp_, out = c.chemin("c_src.txt"), c.chemin("c_cmp.bin"), c.chemin("c_out.txt")
    yield appel("fSauveTexte", [src, c.texte(r, 3000)])
    yield appel("fCompacte", [src, cmp_], "any")
    yield appel("fTailleCompacté", [cmp_], "any")
    yield appel("fTailleDécompacté", [cmp_], "any")
    yield appel("fDécompacte", [cmp_, out], "any")
    yield appel("fCompare", [src, out], "any")
    enc, dec = c.chemin("c_enc.bin"), c.chemin("c_dec.txt")
    yield appel("fCrypte", [src, enc, "mot de passe"], "ok")
    yield appel("fDécrypte", [enc, dec, "mot de passe"], "ok")
    yield appel("fDécrypte", [enc, dec, "faux"], "any")
    yield appel("fDécompacte", [src, out], "any")


def seq_repertoires(r, c):
    """A tree made, copied, listed, sized and removed."""
    yield appel("fRepCrée", [c.chemin("r1/a/b")])
    yield appel("fSauveTexte", [c.chemin("r1/a/b/f.txt"), c.texte(r, 100)])
    yield appel("fRepCopie", [c.chemin("r1"), c.chemin("r2")], "any")
    yield appel("fListeFichier", [c.chemin("r2/*"), 2], "any")
    yield appel("fListeRépertoire", [c.chemin("r2/*"), {"proc": "Soak"}], "any")
    yield appel("fRepTaille", [c.chemin("r2")], "any")
    yield appel("fRepDéplace", [c.chemin("r2"), c.chemin("r3")], "any")
    yield appel("fRepSupprime", [c.chemin("r3"), 1], "any")
    yield appel("fRepSupprime", [c.chemin("r1"), 1], "any")


def seq_zones_cles(r, c):
    """A keyed zone filled, walked, sorted and emptied."""
    z = r.choice(ZONES)
    yield appel("MemCrée", [z], "any")
    for _ in range(r.randint(1, 12)):
        yield appel("MemAjoute", [z, c.texte(r, 10), c.texte_ascii(r, 4)])
    yield appel("MemTrie", [z, r.choice([0, 1])], "any")
    yield appel("MemPremier", [z], "any")
    yield appel("MemSuivant", [z], "any")
    yield appel("MemTrouvé", [z])
    yield appel("MemEnDehors", [z])
    yield appel("MemEnCours", [z])
    yield appel("MemSupprimeTout", [z])


def seq_objets(r, c):
    """Properties of the class objects made at the start."""
    obj = r.choice(c.objets) if c.objets else 1
    prop = r.choice(["Exécutable", "LigneCommande", "RépertoireDeTravail", "NomMachine", "LoginExécution"])
    yield {"prop": prop, "object": obj, "value": c.texte(r, 40)}, "ok"
    yield {"prop": prop, "object": obj}, "ok"
    yield {"prop": r.choice(["PID", "ValeurDeRetour", "ExécutionEnCours", "ExécutionInteractive"]),
           "object": obj}, "ok"
    yield {"prop": "MotDePasseExécution", "object": obj}, "host"
    yield {"prop": "Exécutable", "object": 99999}, "host"


def seq_persistance(r, c):
    """Parameters saved, read back and deleted, over a few names."""
    f = c.chemin("param.ini")
    chemin_p = r.choice(["\\Options\\Fenêtre", "\\Soak", "Global\\x"])
    nom = r.choice(["n1", "n2", "n3"])
    valeur = c.texte(r, 40)
    yield {"persist": "save", "file": f, "path": chemin_p, "name": nom, "value": valeur}, "ok"
    yield {"persist": "load", "file": f, "path": chemin_p, "name": nom, "default": "d"}, "ok"
    yield {"persist": r.choice(["delete", "deletepath"]), "file": f, "path": chemin_p, "name": nom}, "any"
    yield {"persist": "load", "path": chemin_p, "name": nom, "default": "d"}, "any"


# (family, generator, weight): a weight counts like that many single calls.
SEQUENCES = [
    ("files", seq_handle, 3),
    ("files", seq_temp_handle, 1),
    ("shared", seq_zone_partagee, 2),
    ("compression", seq_compression, 3),
    ("encryption", seq_cryptage, 3),
    ("diff", seq_diff, 2),
    ("compression", seq_fichiers_compactes, 1),
    ("files", seq_repertoires, 1),
    ("keyed", seq_zones_cles, 2),
    ("processes", seq_objets, 2),
    ("persistence", seq_persistance, 2),
]

# Calls made every PERIOD calls rather than drawn (family, period, maker of
# the request and its expectation): launching programs, which must stay
# rare, and megabyte arguments, often enough to matter and rarely enough
# to keep the run short.
PERIODIQUES = [
    ("processes", 20000, lambda c: appel("LanceAppli", ["/bin/true", 1, 2])),
    ("processes", 20000, lambda c: appel("LanceAppli", ["/nonexistent/soak", 1, 2], "err")),
    ("processes", 50000, lambda c: appel("DDELance", ["/bin/true"])),
    ("processes", 50000, lambda c: appel("LanceAppli", [{"uni": "/bin/false"}, 1, 2])),
    ("compression", 2000, lambda c: appel("Compresse", [c.enorme])),
    ("checksums", 2000, lambda c: appel("sCalculeCrc32", [{"bin": c.enorme_b64}])),
    ("encodings", 4000, lambda c: appel("URLEncode", [c.enorme])),
    ("phonetics", 4000, lambda c: appel("Phonétique", [c.enorme])),
]


def aleatoire(graine):
    return random.Random(graine)
