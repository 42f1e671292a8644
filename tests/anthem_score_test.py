#!/usr/bin/python3
"""Guards against a committed anthem that is not the tune we transcribed.

Checks assets/sound/Marseillaise.wav against tools/anthem/marseillaise.abc:
the header is plain 16-bit PCM that any player opens, the length is that of
the score, and the notes heard are, pitch for pitch and beat for beat, the
notes written there, from the opening upbeat to the last "sillons". A re-render from an edited score, a
transposed file or another tune fails.

Usage: anthem_score_test.py PROJECT_ROOT
"""
import os
import struct
import sys
import unittest
from fractions import Fraction
from pathlib import Path

try:
    import numpy as np
except ImportError:
    # A Python of its own (pyenv, venv) may come first on PATH and not see
    # Debian's python3-numpy.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise

ROOT = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
WAV = ROOT / "assets" / "sound" / "Marseillaise.wav"
SCORE = ROOT / "tools" / "anthem" / "marseillaise.abc"

# How far a detected note may start from its written time. The tracker hears a
# new pitch some 50 ms late, once it fills most of its frame; a sixteenth note
# lasts 156 ms at the score's tempo, so any rhythm error is larger than this.
ONSET_TOLERANCE_S = 0.1

# --- the score -------------------------------------------------------------

SHARP_ORDER = "FCGDAEB"
MAJOR_KEYS_BY_FIFTHS = {"C": 0, "G": 1, "D": 2, "A": 3, "E": 4, "B": 5, "F#": 6,
                        "F": -1, "Bb": -2, "Eb": -3, "Ab": -4, "Db": -5, "Gb": -6}
LETTER_SEMITONES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def key_signature(key):
    fifths = MAJOR_KEYS_BY_FIFTHS[key]
    if fifths >= 0:
        return {letter: 1 for letter in SHARP_ORDER[:fifths]}
    return {letter: -1 for letter in SHARP_ORDER[::-1][:-fifths]}


def parse_abc(text):
    """Returns the tempo in quarter notes a minute and the list of
    (MIDI note or None for a rest, length in whole notes), for the subset of
    ABC our score is written in."""
    unit = Fraction(1, 8)
    tempo = 120
    signature = {}
    events = []
    in_body = False
    for raw in text.splitlines():
        line = raw.split("%", 1)[0].rstrip()
        if not line:
            continue
        if len(line) > 1 and line[1] == ":" and line[0].isalpha():
            field, value = line[0], line[2:].strip()
            if field == "L":
                unit = Fraction(value)
            elif field == "Q":
                beat, bpm = value.split("=")
                tempo = int(bpm) * Fraction(beat) / Fraction(1, 4)
            elif field == "K":
                signature = key_signature(value)
                in_body = True
            continue
        if not in_body:
            continue
        bar_accidentals = {}
        broken = None  # factor the next note's length takes from a > or <
        i = 0
        while i < len(line):
            c = line[i]
            if c in "|:]":
                bar_accidentals = {}
                i += 1
                continue
            if c in " \t":
                i += 1
                continue
            if c in "<>":
                previous_pitch, previous_length = events[-1]
                first, second = ((Fraction(3, 2), Fraction(1, 2)) if c == ">"
                                 else (Fraction(1, 2), Fraction(3, 2)))
                events[-1] = (previous_pitch, previous_length * first)
                broken = second
                i += 1
                continue
            accidental = None
            while c in "^_=":
                accidental = (accidental or 0) + {"^": 1, "_": -1, "=": 0}[c]
                i += 1
                c = line[i]
            if c.upper() not in "ABCDEFGZ":
                raise ValueError(f"unexpected {c!r} in score line {raw!r}")
            i += 1
            if c in "zZ":
                pitch = None
            else:
                letter = c.upper()
                octave = 4 if c.isupper() else 5
                while i < len(line) and line[i] in ",'":
                    octave += 1 if line[i] == "'" else -1
                    i += 1
                if accidental is not None:
                    bar_accidentals[letter] = accidental
                alter = bar_accidentals.get(letter, signature.get(letter, 0))
                pitch = 12 * (octave + 1) + LETTER_SEMITONES[letter] + alter
            j = i
            while j < len(line) and (line[j].isdigit() or line[j] == "/"):
                j += 1
            length = unit * parse_length(line[i:j])
            i = j
            if broken is not None:
                length *= broken
                broken = None
            events.append((pitch, length))
    return tempo, events


def parse_length(token):
    if not token:
        return Fraction(1)
    if "/" not in token:
        return Fraction(int(token))
    numerator, _, denominator = token.partition("/")
    return Fraction(int(numerator or 1), int(denominator or 2))


def merged_notes(tempo, events):
    """(MIDI note, onset in seconds) of each run of one pitch: a repeated note
    sounds to a pitch tracker as one long note, whatever lies between."""
    seconds_per_whole = Fraction(240) / tempo
    time = Fraction(0)
    notes = []
    for pitch, length in events:
        if pitch is not None and (not notes or notes[-1][0] != pitch):
            notes.append((pitch, float(time * seconds_per_whole)))
        time += length
    return notes, float(time * seconds_per_whole)


# --- the sound -------------------------------------------------------------

def read_wav(path):
    """Returns the header fields and the samples, mixed to mono floats."""
    data = path.read_bytes()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a RIFF/WAVE file")
    chunks = {}
    offset = 12
    while offset + 8 <= len(data):
        name, size = struct.unpack_from("<4sI", data, offset)
        chunks[name] = data[offset + 8:offset + 8 + size]
        offset += 8 + size + (size & 1)
    fmt = chunks[b"fmt "]
    audio_format, channels, rate, byte_rate, block_align, bits = struct.unpack_from("<HHIIHH", fmt)
    header = dict(riff_size=struct.unpack_from("<I", data, 4)[0], file_size=len(data),
                  format=audio_format, channels=channels, rate=rate, byte_rate=byte_rate,
                  block_align=block_align, bits=bits, data_size=len(chunks[b"data"]))
    samples = np.frombuffer(chunks[b"data"], dtype="<i2").astype(np.float64) / 32768.0
    samples = samples.reshape(-1, channels).mean(axis=1)
    return header, samples


def track_pitch(samples, rate, frame=2048, hop=128, low_hz=120.0, high_hz=1200.0):
    """YIN: for each hop, the frame's fundamental as a rounded MIDI note, or
    None where the frame is quiet or has no clear period."""
    min_lag = int(rate / high_hz)
    max_lag = int(rate / low_hz)
    window = frame - max_lag
    loudness_floor = 10 ** (-40 / 20) * np.max(np.abs(samples))
    result = []
    for start in range(0, len(samples) - frame, hop):
        x = samples[start:start + frame]
        if np.sqrt(np.mean(x ** 2)) < loudness_floor:
            result.append(None)
            continue
        base = x[:window]
        energy = np.cumsum(x ** 2)
        lags = np.arange(1, max_lag + 1)
        # d(tau) = sum (x_t - x_{t+tau})^2 over the window, through correlation.
        spectrum = np.fft.rfft(x, 2 * frame)
        corr = np.fft.irfft(spectrum * np.conj(np.fft.rfft(base, 2 * frame)))[1:max_lag + 1]
        shifted_energy = energy[lags + window - 1] - energy[lags - 1]
        d = np.sum(base ** 2) + shifted_energy - 2 * corr
        cumulative = d * lags / np.maximum(np.cumsum(d), 1e-12)
        candidates = np.nonzero(cumulative[min_lag - 1:] < 0.15)[0]
        if len(candidates) == 0:
            result.append(None)
            continue
        tau = candidates[0] + min_lag - 1
        while tau + 1 < len(cumulative) and cumulative[tau + 1] < cumulative[tau]:
            tau += 1
        lag = tau + 1
        if 1 <= tau < len(cumulative) - 1:  # parabolic refinement
            a, b, c = cumulative[tau - 1:tau + 2]
            if a - 2 * b + c > 0:
                lag += 0.5 * (a - c) / (a - 2 * b + c)
        result.append(int(round(69 + 12 * np.log2(rate / lag / 440.0))))
    return result


def heard_notes(samples, rate, min_frames=6, hop=128, frame=2048):
    """(MIDI note, onset in seconds) of each steady pitch, repeated pitches
    merged as in merged_notes; blips shorter than min_frames hops (attacks,
    releases) are ignored."""
    track = track_pitch(samples, rate, frame=frame, hop=hop)
    notes = []
    run_pitch, run_start = None, 0
    for index, pitch in enumerate(track + [None]):
        if pitch == run_pitch:
            continue
        if run_pitch is not None and index - run_start >= min_frames:
            if not notes or notes[-1][0] != run_pitch:
                # The frame is centred half a frame after its start.
                notes.append((run_pitch, (run_start * hop + frame / 2) / rate))
        run_pitch, run_start = pitch, index
    return notes


class AnthemFileTest(unittest.TestCase):
    """Guards against an anthem file the program cannot play, or not ours."""

    @classmethod
    def setUpClass(cls):
        cls.header, cls.samples = read_wav(WAV)
        cls.tempo, cls.events = parse_abc(SCORE.read_text(encoding="utf-8"))
        cls.score_notes, cls.score_seconds = merged_notes(cls.tempo, cls.events)

    def test_header_is_plain_16_bit_pcm(self):
        h = self.header
        self.assertEqual(h["format"], 1, "PCM, not float or compressed")
        self.assertEqual(h["bits"], 16)
        self.assertIn(h["channels"], (1, 2))
        self.assertIn(h["rate"], (22050, 44100))
        self.assertEqual(h["block_align"], h["channels"] * 2)
        self.assertEqual(h["byte_rate"], h["rate"] * h["block_align"])
        self.assertEqual(h["riff_size"], h["file_size"] - 8)
        self.assertEqual(h["data_size"] % h["block_align"], 0)

    def test_length_is_the_score_with_a_short_tail(self):
        seconds = len(self.samples) / self.header["rate"]
        self.assertGreaterEqual(seconds, 60)
        self.assertLessEqual(seconds, 90)
        self.assertGreaterEqual(seconds, self.score_seconds)
        self.assertLessEqual(seconds, self.score_seconds + 5)

    def test_level_is_loud_without_clipping_and_fades_out(self):
        peak = np.max(np.abs(self.samples))
        self.assertGreater(peak, 10 ** (-4 / 20))
        self.assertLess(peak, 10 ** (-2 / 20))
        self.assertLess(np.max(np.abs(self.samples[-200:])), 0.01, "ends in silence, no click")

    def test_every_note_sounds_as_written(self):
        expected = self.score_notes
        heard = heard_notes(self.samples, self.header["rate"])
        # The opening alone first, so that a wrong file reports where it starts.
        self.assertEqual([p for p, _ in heard[:16]], [p for p, _ in expected[:16]],
                         "opening pitches heard differ from the score")
        self.assertEqual([p for p, _ in heard], [p for p, _ in expected],
                         "pitches heard differ from the score")
        for index, ((pitch, heard_at), (_, written_at)) in enumerate(zip(heard, expected)):
            self.assertAlmostEqual(heard_at, written_at, delta=ONSET_TOLERANCE_S,
                                   msg=f"note {index} ({pitch}) starts off the beat")


class ScoreReaderTest(unittest.TestCase):
    """Guards against a score reader that would agree with any sound."""

    def test_reads_key_octaves_accidentals_and_dotted_pairs(self):
        tempo, events = parse_abc("L:1/8\nQ:1/4=60\nK:G\nD>D G2 F =F ^c' z/ B,,3/2 |]\n")
        self.assertEqual(tempo, 60)
        self.assertEqual(events, [(62, Fraction(3, 16)), (62, Fraction(1, 16)),
                                  (67, Fraction(1, 4)), (66, Fraction(1, 8)),
                                  (65, Fraction(1, 8)), (85, Fraction(1, 8)),
                                  (None, Fraction(1, 16)), (47, Fraction(3, 16))])

    def test_accidental_lasts_to_the_bar_line(self):
        _, events = parse_abc("K:C\n^F F | F\n")
        self.assertEqual([p for p, _ in events], [66, 66, 65])

    def test_merging_keeps_first_onset_of_each_repeat(self):
        notes, total = merged_notes(120, [(67, Fraction(1, 4)), (None, Fraction(1, 4)),
                                          (67, Fraction(1, 4)), (69, Fraction(1, 4))])
        self.assertEqual(notes, [(67, 0.0), (69, 1.5)])
        self.assertEqual(total, 2.0)

    def test_tracker_hears_a_tone_at_its_own_pitch(self):
        rate = 22050
        t = np.arange(rate) / rate
        # A brass-like tone with a weak fundamental, where naive trackers slip
        # an octave.
        tone = sum(a * np.sin(2 * np.pi * 196.0 * k * t) for k, a in
                   ((1, 0.3), (2, 1.0), (3, 0.8), (4, 0.5), (5, 0.3)))
        self.assertEqual([p for p, _ in heard_notes(tone / 3, rate)], [55])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
