#pragma once

#include "support/RepertoireTemporaire.h"

#include <string>

namespace kiv_test {

/** A fresh folder for one test, its settings file and the others the tests make. */
using DossierScom = RepertoireTemporaire;

/** The settings file as the dialog writes it, for `port` and `baud`. */
inline std::string scomAttendu(const std::string& port, const std::string& baud)
{
    return ";scom.ini\r\n;fichier de configuration des ports s\xE9ries\r\n\r\n[OPTIONS]\r\n"
           "Last Port = " +
           port + "\r\n\r\n[Port#1]\r\nBaud Rate = " + baud + "\r\n";
}

} // namespace kiv_test
