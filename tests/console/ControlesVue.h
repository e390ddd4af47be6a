#pragma once

/** The console form's controls, by the number in their object names ("id1027"). */
namespace ctrl {
inline constexpr int Go = 159;
inline constexpr int Carte = 1001;
inline constexpr int Reception = 1004;
inline constexpr int RobotX = 1005;
inline constexpr int RobotY = 1006;
inline constexpr int EtatPort = 1007;
inline constexpr int RoueGauche = 1008;
inline constexpr int DestinationX = 1009;
inline constexpr int Transmission = 1011;
inline constexpr int DestinationY = 1012;
inline constexpr int RoueDroite = 1017;
inline constexpr int Batterie = 1019;
inline constexpr int Reels = 1020;
inline constexpr int ModeDestination = 1022;
inline constexpr int ModeObstacle = 1023;
inline constexpr int ModeRobot = 1024;
inline constexpr int ModeBandit = 1025;
inline constexpr int Arret = 1027;
inline constexpr int Virtuels = 1033;
inline constexpr int Saisie = 1042;
inline constexpr int Entrainer = 1043;
} // namespace ctrl
