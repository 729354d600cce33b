#!/usr/bin/env python3
"""Check the constant and variable descriptor data files.

Usage: check_constants.py [constants.txt [variables.txt]]
(default: the two files next to this script).

Parses both files the way the table generator reads them and verifies the
row counts, the order, the type of every constant row, the values that the
functions of the component depend on and the variable rows. Prints every
problem found and exits with status 1 when there is one, 0 otherwise.
"""

import os
import re
import sys

CONSTANT_ROWS = 497
TYPE_COUNTS = {0x08: 326, 0x12: 51, 0x00: 120}
CONSTANT_FLAGS = {0x10, 0x11, 0x18, 0x1C, 0x110, 0x118, 0x210, 0x218,
                  0x318, 0x410, 0x418, 0x618}
INT32_MIN, UINT32_MAX = -2**31, 2**32 - 1

# Integer constants whose value and flags are fixed: (value, flags or None).
FIXED_INTEGERS = {
    'scBordActif': (10, None),
    'scBrTitreActif': (2, None),
    'scEspaceApp': (12, None),
    'scFond': (1, None),
    'scBordBtn': (15, None),
    'mSurValRetour': (0, 0x11),
    'mSurValTri': (1, 0x11),
    'foAjout': (2048, 0x110),
    'ppfTexteUnicode': (13, 0x410),
}

# Every constant text, by first-language name.
FIXED_TEXTS = {
    'exeNom': 'Nom',
    'exeRépertoire': 'REPERTOIRE',
    'exeCopyright': 'COPYRIGHT',
    'exeVersion': 'VERSION',
    'exeDescription': 'DESCRIPTION',
    'exeMode': 'MODE',
    'exeSociété': 'SOCIETE',
    'exeVersionFormatWindows': 'VERSION4N',
    'MciCDAudio': 'cdaudio',
    'MciDisqueVideo': 'videodisc',
    'MciSéquenceur': 'sequencer',
    'MciDigitalVideo': 'digitalvideo',
    'MciWaveAudio': 'waveaudio',
    'MciFormatImage': 'frames',
    'MciFormatTMSF': 'tmsf',
    'MciFormatMS': 'ms',
    'MciStyleFille': 'child',
    'MciStyleStandard': 'overlapped',
    'MciStylePopup': 'popup',
    'MciEtatPasPrêt': 'not ready',
    'MciEtatJoue': 'playing',
    'MciEtatPause': 'paused',
    'MciEtatArrêt': 'stopped',
    'MciVolumeDroit': 'right volume',
    'MciVolumeGauche': 'left volume',
    'MciAigu': 'treble',
    'MciGrave': 'bass',
    'MciNotifier': 'notify',
    'MciAttente': 'wait',
    'MciFormatOctet': 'bytes',
    'MciFormatHMS': 'hms',
    'MciFormatMSF': 'msf',
    'MciFormatPiste': 'track',
    'MciEtatOuvert': 'open',
    'MciEtatParqué': 'parked',
    'MciEtatEnregistre': 'recording',
    'MciEtatRecherche': 'seeking',
    'Orient0': '0',
    'Orient90': '90',
    'Orient180': '180',
    'Orient270': '270',
    'CompteSystèmeLocal': '',
    'CompteServiceLocal': 'NT AUTHORITY\\LocalService',
    'CompteServiceRéseau': 'NT AUTHORITY\\NetworkService',
    'RegistreTypeBinaire': 'REG_BINARY',
    'RegistreTypeEntier': 'REG_DWORD',
    'RegistreTypeEntierBigEndian': 'REG_DWORD_BIG_ENDIAN',
    'RegistreTypeChaîne': 'REG_SZ',
    'RegistreTypeChaîneEnv': 'REG_EXPAND_SZ',
    'RegistreTypeMultiChaîne': 'REG_MULTI_SZ',
    'RegistreTypeEntier_8': 'REG_QWORD',
}

# Variable rows: identifier -> (flags, type code), in table order.
VARIABLES = [(i, 0x10, t) for i, t in
             ((1, 0x13), (2, 0x13), (3, 0x13), (4, 0x08), (5, 0x08))]
VARIABLES += [(i, 0x218, t) for i, t in (
    (6, 0x19), (7, 0x08), (8, 0x08), (9, 0x08), (10, 0x08), (11, 0x18),
    (12, 0x08), (13, 0x18), (14, 0x18), (15, 0x08), (16, 0x08), (17, 0x01),
    (18, 0x08), (19, 0x13), (20, 0x13), (21, 0x13), (22, 0x13), (23, 0x01),
    (24, 0x1B), (25, 0x08), (26, 0x08), (27, 0x01), (28, 0x01), (29, 0x01),
    (30, 0x01), (31, 0x08), (32, 0x1A), (33, 0x1A), (34, 0x08), (35, 0x13),
    (36, 0x13), (37, 0x13), (38, 0x01))]
VARIABLES += [(i, 0x210, t) for i, t in (
    (39, 0x13), (40, 0x08), (41, 0x08), (42, 0x13), (43, 0x13), (44, 0x13),
    (45, 0x08), (47, 0x13), (48, 0x08), (49, 0x13), (50, 0x13), (51, 0x40),
    (52, 0x40), (53, 0x01), (54, 0x08))]

VARIABLE_NAMES = {1: ('_DDE.Sujet', '_DDE.Topic'),
                  39: ('Service.Description', 'Service.Description'),
                  54: ('Service.NbActionSurDéfaillance',
                       'Service.NbActionOnFailure')}

_SIMPLE_ESCAPES = {'\\': '\\', '"': '"', "'": "'", 'n': '\n', 'r': '\r',
                   't': '\t', 'a': '\a', 'b': '\b', 'f': '\f', 'v': '\v',
                   '?': '?'}


class DataError(Exception):
    pass


def unescape_c(body):
    """Decode the inside of a C string literal."""
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"':
            raise DataError('unescaped double quote inside a text')
        if c != '\\':
            out.append(c)
            i += 1
            continue
        i += 1
        if i >= len(body):
            raise DataError('text ends with a lone backslash')
        c = body[i]
        if c in _SIMPLE_ESCAPES:
            out.append(_SIMPLE_ESCAPES[c])
            i += 1
        elif c == 'x':
            m = re.match(r'[0-9A-Fa-f]{1,2}', body[i + 1:])
            if not m:
                raise DataError('\\x without hexadecimal digits')
            out.append(chr(int(m.group(0), 16)))
            i += 1 + len(m.group(0))
        elif c in '01234567':
            m = re.match(r'[0-7]{1,3}', body[i:])
            code = int(m.group(0), 8)
            if code > 0xFF:
                raise DataError('octal escape above \\377')
            out.append(chr(code))
            i += len(m.group(0))
        else:
            raise DataError('unknown escape \\%s' % c)
    text = ''.join(out)
    if '\0' in text:
        raise DataError('text holds a zero character')
    return text


def parse_names(field):
    if field.count('|') != 1:
        raise DataError('names must be "first|second"')
    first, second = field.split('|')
    if not first or not second:
        raise DataError('empty name')
    try:
        first.encode('latin-1')
        second.encode('latin-1')
    except UnicodeEncodeError:
        raise DataError('name not representable in Latin-1')
    return first, second


def parse_hex(field, what):
    if not re.fullmatch(r'0[xX][0-9A-Fa-f]+', field):
        raise DataError('%s must be hexadecimal (0x...): %r' % (what, field))
    return int(field, 16)


def parse_type(field):
    if not re.fullmatch(r'[0-9A-Fa-f]{2}', field):
        raise DataError('type must be two hexadecimal digits: %r' % field)
    return int(field, 16)


def parse_integer(field):
    if re.fullmatch(r'-?[0-9]+', field):
        value = int(field, 10)
    elif re.fullmatch(r'0[xX][0-9A-Fa-f]+', field):
        value = int(field, 16)
    else:
        raise DataError('bad integer value %r' % field)
    if not INT32_MIN <= value <= UINT32_MAX:
        raise DataError('integer value %r does not fit 32 bits' % field)
    if value > 2**31 - 1:
        value -= 2**32
    return value


def data_lines(path):
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\r\n')
            stripped = line.strip()
            if not stripped or stripped.startswith('#'):
                continue
            yield number, stripped


def parse_constants(path, errors):
    rows = []
    for number, line in data_lines(path):
        where = '%s:%d' % (path, number)
        try:
            m = re.fullmatch(r'C +(\S+) +(\S+) +(\S+) +("(?:[^"\\]|\\.)*"|\S+)'
                             r' +(\S+)', line)
            if not m:
                raise DataError('line is not "C row flags type value names"')
            row_field, flags_field, type_field, value_field, names = m.groups()
            if not re.fullmatch(r'[0-9]+', row_field):
                raise DataError('bad row number %r' % row_field)
            row = int(row_field)
            flags = parse_hex(flags_field, 'flags')
            type_code = parse_type(type_field)
            first, second = parse_names(names)
            if type_code == 0x12:
                if not (len(value_field) >= 2 and value_field[0] == '"'
                        and value_field[-1] == '"'):
                    raise DataError('type 12 row needs a double-quoted text')
                value = unescape_c(value_field[1:-1])
                try:
                    value.encode('latin-1')
                except UnicodeEncodeError:
                    raise DataError('text not representable in Latin-1')
            elif type_code in (0x08, 0x00):
                value = parse_integer(value_field)
            else:
                raise DataError('type must be 08, 12 or 00, not %s' % type_field)
            rows.append({'row': row, 'flags': flags, 'type': type_code,
                         'value': value, 'first': first, 'second': second,
                         'where': where})
        except DataError as e:
            errors.append('%s: %s' % (where, e))
    return rows


def check_constants(rows, errors):
    if len(rows) != CONSTANT_ROWS:
        errors.append('constants: %d rows instead of %d'
                      % (len(rows), CONSTANT_ROWS))
    for expected, r in enumerate(rows):
        if r['row'] != expected:
            errors.append('%s: row %d where row %d is expected (rows must run '
                          '0..%d in order)' % (r['where'], r['row'], expected,
                                               CONSTANT_ROWS - 1))
            break
    counts = {}
    for r in rows:
        counts[r['type']] = counts.get(r['type'], 0) + 1
        if r['flags'] not in CONSTANT_FLAGS:
            errors.append('%s: flags 0x%X not among the values in use'
                          % (r['where'], r['flags']))
        if r['type'] == 0x00 and r['value'] != 0:
            errors.append('%s: unavailable constant %s must have value 0'
                          % (r['where'], r['first']))
    for type_code, expected in sorted(TYPE_COUNTS.items()):
        got = counts.get(type_code, 0)
        if got != expected:
            errors.append('constants: %d rows of type %02X instead of %d'
                          % (got, type_code, expected))

    by_name = {}
    for r in rows:
        if r['first'] in by_name:
            errors.append('%s: first-language name %s already used by %s'
                          % (r['where'], r['first'],
                             by_name[r['first']]['where']))
        by_name[r['first']] = r

    for name, (value, flags) in FIXED_INTEGERS.items():
        r = by_name.get(name)
        if r is None:
            errors.append('constants: %s is missing' % name)
            continue
        if r['type'] != 0x08 or r['value'] != value:
            errors.append('%s: %s must be the integer %d'
                          % (r['where'], name, value))
        if flags is not None and r['flags'] != flags:
            errors.append('%s: %s must have flags 0x%X, not 0x%X'
                          % (r['where'], name, flags, r['flags']))

    for name, text in FIXED_TEXTS.items():
        r = by_name.get(name)
        if r is None:
            errors.append('constants: %s is missing' % name)
            continue
        if r['type'] != 0x12 or r['value'] != text:
            errors.append('%s: %s must be the text %r, found %r'
                          % (r['where'], name, text, r['value']))
    texts = [r['first'] for r in rows if r['type'] == 0x12]
    for name in texts:
        if name not in FIXED_TEXTS:
            errors.append('%s: %s is a text constant with no known value'
                          % (by_name[name]['where'], name))


def parse_variables(path, errors):
    rows = []
    for number, line in data_lines(path):
        where = '%s:%d' % (path, number)
        try:
            fields = line.split()
            if len(fields) != 5 or fields[0] != 'V':
                raise DataError('line is not "V id flags type names"')
            if not re.fullmatch(r'[0-9]+', fields[1]):
                raise DataError('bad identifier %r' % fields[1])
            rows.append({'id': int(fields[1]),
                         'flags': parse_hex(fields[2], 'flags'),
                         'type': parse_type(fields[3]),
                         'names': parse_names(fields[4]),
                         'where': where})
        except DataError as e:
            errors.append('%s: %s' % (where, e))
    return rows


def check_variables(rows, errors):
    if len(rows) != len(VARIABLES):
        errors.append('variables: %d rows instead of %d'
                      % (len(rows), len(VARIABLES)))
    for r, (ident, flags, type_code) in zip(rows, VARIABLES):
        if r['id'] != ident:
            errors.append('%s: identifier %d where %d is expected (1..54 in '
                          'order, without 46)' % (r['where'], r['id'], ident))
            break
        if r['flags'] != flags:
            errors.append('%s: variable %d must have flags 0x%X, not 0x%X'
                          % (r['where'], ident, flags, r['flags']))
        if r['type'] != type_code:
            errors.append('%s: variable %d must have type %02X, not %02X'
                          % (r['where'], ident, type_code, r['type']))
        if ident in VARIABLE_NAMES and r['names'] != VARIABLE_NAMES[ident]:
            errors.append('%s: variable %d must be named %s|%s'
                          % ((r['where'], ident) + VARIABLE_NAMES[ident]))
    seen = set()
    for r in rows:
        if r['names'][0] in seen:
            errors.append('%s: name %s used twice'
                          % (r['where'], r['names'][0]))
        seen.add(r['names'][0])


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    constants = argv[1] if len(argv) > 1 else os.path.join(here,
                                                           'constants.txt')
    variables = argv[2] if len(argv) > 2 else os.path.join(here,
                                                           'variables.txt')
    errors = []
    try:
        check_constants(parse_constants(constants, errors), errors)
        check_variables(parse_variables(variables, errors), errors)
    except (OSError, UnicodeDecodeError) as e:
        errors.append(str(e))
    if errors:
        for e in errors:
            print('error: %s' % e, file=sys.stderr)
        print('%d problem(s) in the descriptor data files' % len(errors),
              file=sys.stderr)
        return 1
    print('descriptor data files ok: %d constants, %d variables'
          % (CONSTANT_ROWS, len(VARIABLES)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
