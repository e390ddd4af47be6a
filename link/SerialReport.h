#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/** Caption of the message box that reports a failed system call of the serial engine. */
inline constexpr const char* LegendeRapportSerie = "Application Error";

/** Size of the report's text buffer: the text keeps at most this less one byte. */
inline constexpr std::size_t TailleRapportSerie = 200;

/**
 * The report of a failed step of the serial engine:
 * "WARNING:  <step> Failed with the following error: \n<system text>\nPort: <port>\n",
 * cut to fit its 200-byte buffer without splitting a UTF-8 character.
 */
std::string ReportErrorText(std::string_view step, std::string_view systemText, int port);

/** Shows a report in a stop-icon message box captioned "Application Error"; GUI thread only. */
void ShowReport(const std::string& text);
