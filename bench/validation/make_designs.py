#!/usr/bin/env python3
"""Writes the validation designs of the analytic power into designs/.

Every design starts from one base (exponential control group with median 12,
300 subjects entering uniformly over 12 time units, no loss to follow-up, no
crossover, 20,000 trials) and changes the value lines listed with it. Run it
from this directory; run_validation.sh then simulates each design and
computes its analytic power.
"""

BASE = {11: "4", 14: "valid.rpt", 17: "-2718", 20: "1", 23: "30", 26: "1", 30: "0", 33: "0",
        37: "20000", 40: "0.05", 43: "2", 49: "0", 54: "3", 61: "1.959964", 70: "1",
        74: "1", 78: "12", 83: "0.5", 88: "12 25", 93: "1", 96: "100", 101: "2", 106: "0.7",
        111: "1", 114: "100", 117: "1", 122: "1", 125: "100", 128: "1", 133: "1", 135: "0",
        137: "0", 141: "1", 143: "0", 145: "0"}

DESIGNS = {
    "ph_given_bounds": ("proportional hazards 0.7, method 4, two-sided",
                        {20: "3", 23: "12 18 30", 49: "0 0 0", 61: "2.8 2.4 2.0"}),
    "ph_obf_one_sided": ("proportional hazards 0.75, method 2 O'Brien-Fleming type, one-sided 0.025",
                         {11: "2", 20: "4", 23: "10 15 20 30", 26: "2", 30: "0 0", 33: "0 1",
                          40: "0.025", 43: "1", 49: "0 0 0 0", 61: "0 0 0 0", 70: "1",
                          106: "0.75"}),
    "delayed_fh01": ("delayed effect (ratio 1 to 6, then 0.5), FH(0,1), method 2 Pocock type",
                     {11: "2", 20: "3", 23: "12 20 30", 26: "2", 30: "0 0", 33: "0 1",
                      49: "0 0 0", 61: "0 0 0", 70: "2", 93: "2", 96: "6 100",
                      106: "1 0.5"}),
    "diminishing_fh10": ("diminishing effect (ratio 0.5 to 6, then 1), FH(1,0), method 1",
                         {11: "1", 20: "3", 23: "10 16 24", 26: "2", 30: "0 1", 33: "0 0",
                          49: "0.01 0.015 0.025", 61: "0 0 0", 93: "2", 96: "6 100",
                          106: "0.5 1"}),
    "crossover_haybittle": ("crossover both ways (drop-in 30% at 6 and 20% at 12, drop-out 25% "
                            "at 4), ratio 0.6, method 3",
                            {11: "3", 20: "3", 23: "12 18 30", 49: "0 0 0", 54: "3",
                             61: "0 0 0", 106: "0.6", 133: "2", 135: "6 12",
                             137: "0.3 0.2", 141: "1", 143: "4", 145: "0.25"}),
    "heavy_censoring": ("heavy loss to follow-up (0.4 and 0.3 left at 12), ratio 0.65, method 2 "
                        "linear, one-sided 0.025",
                        {11: "2", 20: "4", 23: "8 14 20 30", 40: "0.025", 43: "1",
                         49: "0 0 0 0", 61: "0 0 0 0", 70: "3", 106: "0.65", 114: "12",
                         117: "0.4", 125: "12", 128: "0.3"}),
    "survival_points_one_sided": ("treatment by survival points, method 3, one-sided, FH(1,1)",
                                  {11: "3", 20: "3", 23: "12 20 30", 26: "2", 30: "0 1",
                                   33: "0 1", 40: "0.025", 43: "1", 49: "0 0 0",
                                   61: "0 0 0", 93: "2", 96: "12 24", 101: "1",
                                   106: "0.6 0.38", 114: "30", 117: "0.8", 125: "30",
                                   128: "0.8"}),
    "five_statistics": ("five statistics, 6 looks, drop-in, method 2 Siegmund with b = 3.2",
                        {11: "2", 20: "6", 23: "8 12 16 20 25 30", 26: "5",
                         30: "0 1 0 1 0.5", 33: "0 0 1 1 0.5", 49: "0 0 0 0 0 0",
                         54: "3.2", 61: "0 0 0 0 0 0", 70: "4", 106: "0.7", 133: "1",
                         135: "5", 137: "0.2", 114: "50", 117: "0.7", 125: "50",
                         128: "0.7"}),
    "delayed_fh01_long_curve": ("as delayed_fh01, the baseline given up to 40 (beyond the last look)",
                                {11: "2", 20: "3", 23: "12 20 30", 26: "2", 30: "0 0",
                                 33: "0 1", 49: "0 0 0", 61: "0 0 0", 70: "2", 74: "2",
                                 78: "12 40", 83: "0.5 0.0992", 93: "2", 96: "6 100",
                                 106: "1 0.5"}),
    "ph_obf_one_sided_long_curve": ("as ph_obf_one_sided, the baseline given up to 40",
                                    {11: "2", 20: "4", 23: "10 15 20 30", 26: "2", 30: "0 0",
                                     33: "0 1", 40: "0.025", 43: "1", 49: "0 0 0 0",
                                     61: "0 0 0 0", 70: "1", 74: "2", 78: "12 40",
                                     83: "0.5 0.0992", 106: "0.75"}),
    "null_obf": ("equal curves, method 2 O'Brien-Fleming type: the type-I error",
                 {11: "2", 20: "4", 23: "10 15 20 30", 26: "2", 30: "0 0", 33: "0 1",
                  49: "0 0 0 0", 61: "0 0 0 0", 70: "1", 106: "1"}),
    "small_sample": ("60 subjects, ratio 0.5, method 2 Pocock type: a small sample",
                     {11: "2", 20: "3", 23: "10 16 24", 49: "0 0 0", 61: "0 0 0", 70: "2",
                      88: "12 5", 106: "0.5"}),
}


def design_text(description, changes):
    values = dict(BASE)
    values.update(changes)
    lines = []
    for line in range(1, 146):
        if line in values:
            lines.append(values[line])
        elif line == 1:
            lines.append("* Validation design of the analytic power: " + description)
        else:
            lines.append("*")
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    for name, (description, changes) in DESIGNS.items():
        with open("designs/" + name + ".dsn", "w") as out:
            out.write(design_text(description, changes))
