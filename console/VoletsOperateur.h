#pragma once

#include <cstdint>

class CMainFrame;

/** The loss delay the settings store gives, in ms (2000 when missing or outside 0.5 .. 60 s). */
std::int64_t delaiPerteReglage();
/** The battery threshold the settings store gives, in % of full (20 when missing or outside 1 ..
 * 99). */
int seuilBatterieReglage();

/**
 * Adds the link pane and the battery warning pane to the frame's status
 * bar (and the volts label beside the battery bar), set up from the
 * settings store.
 */
void ajouterVoletsOperateur(CMainFrame& frame);
