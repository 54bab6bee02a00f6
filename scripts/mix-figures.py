#!/usr/bin/env python3
"""The mix of a demo recording, stretch by stretch.

mix-figures.py RECORDING STRETCHES BED_CLIP_DIR...

STRETCHES holds lines "name first_second last_second" (day, brook, layers,
rain, fires, alarm). Prints each stretch's level and balance; whether the
birds stand out of the day's bed in their own band (a phrase at least 6 dB
over the bed in most 5-second stretches); whether the rain masks them (their
phrases stand less than 6 dB over it in the band where they sing loudest);
when the thunder came; when the alarm was first heard; and whether any bed
clip (the .ogg and .wav files in the folders given) holds digital silence,
with the quietest 50 ms of each stretch. Needs sox.
"""

import array
import math
import os
import statistics
import subprocess
import sys

RATE = 44100
FULL_SCALE = 32768.0
SILENT_DB = -200.0  # the level of a window of zeros

PIECE_SECONDS = 5.0
PHRASE_WINDOW = 0.05  # a bird phrase's note lasts longer than two of these
PHRASE_OVER_BED_DB = 6.0
BIRD_BANDS = [(1200, 2000), (2000, 3000), (3000, 4500), (4500, 6500), (6500, 9000)]  # Hz: where songbirds sing

RAIN_SETTLED = 10.0  # seconds after the button: the rain has faded in
THUNDER_BAND = (40, 250)
THUNDER_WINDOW = 0.1
THUNDER_OVER_DB = 10.0
THUNDER_BEFORE = 5.0  # seconds
# Storm on, rain "very often": the first phase and the storm phase after it
# end by 100.2 s at the longest, and the storm phase thunders.
THUNDER_BY = 100.2
THUNDER_APART = 10.0  # seconds: one long roll is one thunder

ONSET_WINDOW = 0.01
ONSET_OVER_DB = 10.0  # over what played before, or
SOUND_DB = -60.0  # over silence
ONSET_HOLD = 3  # windows in a row: a sound, not a click
BEFORE_ALARM = 3.0

DIGITAL_SILENCE = 0.01  # seconds of exact zeros
SILENCE_DB = -90.0  # a 50 ms window this quiet holds nothing a recording would
CLIP_EDGE = 0.5  # seconds at each end of a clip that fade to zero on purpose


def samples(path, start=None, length=None, channels=1, band=None):
    """16-bit samples of the file, mixed to one channel unless two are asked for."""
    command = ["sox", path, "-t", "raw", "-e", "signed", "-b", "16", "-c", str(channels), "-"]
    if start is not None:
        command += ["trim", "%.3f" % start, "%.3f" % length]
    if band:
        command += ["sinc", "%d-%d" % band]
    data = array.array("h")
    data.frombytes(subprocess.run(command, check=True, capture_output=True).stdout)
    return data


def level_db(values):
    if not values:
        return SILENT_DB
    power = math.fsum(v * v for v in values) / len(values)
    return 10 * math.log10(power / FULL_SCALE ** 2) if power > 0 else SILENT_DB


def window_levels(values, seconds):
    size = int(RATE * seconds)
    return [level_db(values[i:i + size]) for i in range(0, len(values) - size + 1, size)]


def phrase_peak(levels):
    """The loudest level held over two windows in a row."""
    return max(min(a, b) for a, b in zip(levels, levels[1:]))


def read_stretches(path):
    found = {}
    with open(path) as lines:
        for line in lines:
            name, first, last = line.split()
            found[name] = (float(first), float(last))
    return found


def report_levels(recording, stretches):
    for name, (first, last) in stretches.items():
        stereo = samples(recording, first, last - first, channels=2)
        left, right = level_db(stereo[0::2]), level_db(stereo[1::2])
        quietest = min(window_levels(stereo, PHRASE_WINDOW))
        print("  %-7s %6.1f-%6.1f s: RMS %6.1f dBFS, left %6.1f, right %6.1f (left - right %+5.1f dB),"
              " quietest 50 ms %6.1f dBFS" % (name, first, last, level_db(stereo), left, right, left - right,
                                              quietest))


def bird_pieces(recording, first, last):
    """Per 5-second piece and bird band: (bed, phrase peak) in dBFS."""
    bands = {band: window_levels(samples(recording, first, last - first, band=band), PHRASE_WINDOW)
             for band in BIRD_BANDS}
    per_piece = int(PIECE_SECONDS / PHRASE_WINDOW)
    pieces = []
    for at in range(0, int((last - first) / PIECE_SECONDS) * per_piece, per_piece):
        pieces.append({band: (statistics.median(levels[at:at + per_piece]), phrase_peak(levels[at:at + per_piece]))
                       for band, levels in bands.items()})
    return pieces


def band_name(band):
    return "%.1f-%.1f kHz" % (band[0] / 1000, band[1] / 1000)


def report_birds(name, pieces, judged):
    margins = [max(peak - bed for bed, peak in piece.values()) for piece in pieces]
    standing = sum(margin >= PHRASE_OVER_BED_DB for margin in margins)
    verdict = ("met" if standing * 2 > len(pieces) else "missed") if judged else "not judged"
    print("  %s: a bird phrase %.0f dB or more over the bed in its band in %d of %d 5-second stretches"
          " (margins %s dB): %s" % (name, PHRASE_OVER_BED_DB, standing, len(pieces),
                                    " ".join("%.1f" % m for m in margins), verdict))


def report_rain(recording, day_pieces, first, last):
    """The birds' phrases against the rain, in the band where they sing loudest in the day."""
    def bird_peak(band):
        return statistics.median(piece[band][1] for piece in day_pieces)
    band = max(BIRD_BANDS, key=bird_peak)
    rain = statistics.median(window_levels(
        samples(recording, first + RAIN_SETTLED, last - first - RAIN_SETTLED, band=band), PHRASE_WINDOW))
    margin = bird_peak(band) - rain
    print("  rain: the day's bird phrases peak at %.1f dBFS in %s, where they sing loudest; the rain stands"
          " at %.1f dBFS there: %+.1f dB, %s" % (bird_peak(band), band_name(band), rain, margin,
                                                 "not masked" if margin >= PHRASE_OVER_BED_DB else "masked"))
    # A thunder rises over what the band held just before it; the forest
    # running out under the rain only falls.
    lows = window_levels(samples(recording, first - THUNDER_BEFORE, last - first + THUNDER_BEFORE,
                                 band=THUNDER_BAND), THUNDER_WINDOW)
    before = int(THUNDER_BEFORE / THUNDER_WINDOW)
    thunders = []
    for i in range(before, len(lows)):
        at = (i - before) * THUNDER_WINDOW
        rising = lows[i] >= statistics.median(lows[i - before:i]) + THUNDER_OVER_DB
        if rising and (not thunders or at - thunders[-1] >= THUNDER_APART):
            thunders.append(at)
    heard = ", ".join("%.1f" % t for t in thunders) or "none"
    in_time = "a thunder by %.1f s" % THUNDER_BY if thunders and thunders[0] <= THUNDER_BY else "none in time"
    print("  thunder (%s, %.0f dB over the %.0f s before): at %s s after the button: %s"
          % (band_name(THUNDER_BAND), THUNDER_OVER_DB, THUNDER_BEFORE, heard, in_time))


def report_alarm(recording, first):
    before = window_levels(samples(recording, first - BEFORE_ALARM, BEFORE_ALARM), ONSET_WINDOW)
    after = window_levels(samples(recording, first, 2 * BEFORE_ALARM), ONSET_WINDOW)
    threshold = max(statistics.median(before) + ONSET_OVER_DB, SOUND_DB)
    for i in range(len(after) - ONSET_HOLD):
        if all(level >= threshold for level in after[i:i + ONSET_HOLD]):
            print("  alarm: first heard %.0f ms after its Test button was pressed" % (1000 * i * ONSET_WINDOW))
            return
    print("  alarm: not heard within %.0f s" % (2 * BEFORE_ALARM))


def longest_zero_run(values):
    longest = run = 0
    for value in values:
        run = run + 1 if value == 0 else 0
        longest = max(longest, run)
    return longest


def report_bed_clips(folders):
    clips = sorted(os.path.join(folder, name) for folder in folders for name in os.listdir(folder)
                   if name.endswith((".ogg", ".wav")))
    edge = int(CLIP_EDGE * RATE)
    silent = []
    quietest = (0.0, "")
    for clip in clips:
        inside = samples(clip)[edge:-edge]
        name = os.path.basename(clip)
        level = min(window_levels(inside, PHRASE_WINDOW))
        quietest = min(quietest, (level, name))
        if longest_zero_run(inside) >= DIGITAL_SILENCE * RATE or level < SILENCE_DB:
            silent.append(name)
    print("  beds: %d clips, %s (the quietest 50 ms inside one: %.1f dBFS, %s)" % (
        len(clips), "digital silence in " + " ".join(silent) if silent else "none holds digital silence",
        quietest[0], quietest[1]))


def main(args):
    if len(args) < 2:
        sys.exit(__doc__)
    recording, stretches = args[0], read_stretches(args[1])
    print("Stretches:")
    report_levels(recording, stretches)
    print("Mix:")
    day_pieces = bird_pieces(recording, *stretches["day"])
    report_birds("day forest at its own levels", day_pieces, True)
    report_birds("day with the brook at 90 and every layer", bird_pieces(recording, *stretches["layers"]), False)
    report_rain(recording, day_pieces, *stretches["rain"])
    report_alarm(recording, stretches["alarm"][0])
    report_bed_clips(args[2:])


if __name__ == "__main__":
    main(sys.argv[1:])
