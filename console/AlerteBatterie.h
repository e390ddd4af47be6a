#pragma once

/**
 * The battery as the operator reads it. The bar's scale, 0 V at level 0,
 * 4.5 V at 115 and 9 V at 230 (its full level), makes a level worth 9/230
 * of a volt. The warning fires once when the level falls below the
 * threshold (a share of full) and is armed again only once the level is
 * back a few steps above it, so that a level wavering on the threshold
 * does not warn at every frame. Plain C++.
 */
class AlerteBatterie {
public:
    /** The bar's full level. */
    static constexpr int Plein = 230;
    /** Steps above the threshold that arm the warning again. */
    static constexpr int Hysteresis = 3;

    /** `seuilPourcent` of full, 1 .. 99 (20 otherwise). */
    explicit AlerteBatterie(int seuilPourcent = 20);

    /** The volts a level stands for. */
    static double volts(int niveau) { return niveau * 9.0 / Plein; }

    /** One battery report: true when it must warn now (just fell below the threshold). */
    bool observer(int niveau);

    /** Below the threshold since the last warning. */
    bool basse() const { return m_basse; }
    /** Levels below this one are low. */
    int seuil() const { return m_seuil; }

private:
    int m_seuil;
    bool m_basse = false;
};
