#pragma once

// dBm to milliwatts: 10^(dbm / 10); NaN stays NaN.
float dbmToMilliwatts(float dbm);

// Milliwatts to dBm: 10 × log10(mw); NaN stays NaN, 0 gives -infinity, negatives NaN.
float milliwattsToDbm(float milliwatts);
