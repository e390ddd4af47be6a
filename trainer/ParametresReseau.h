#pragma once

/**
 * The trainer's fields: the network's shape, its training parameters, the
 * output scaling and the three test inputs. A parameter file holds them as
 * fifteen "key=value" lines in this order.
 */
struct ParametresReseau {
    double Gain = 0.5;
    double Momentum = 0.1;
    double Epsilon = 0.1;
    double Tolerance = 0.5;
    double ErreurMax = 0.005;
    int IterMax = 500;
    int NeuroneEntree = 3;
    int NeuroneSortie = 2;
    int CoucheCache = 4;
    int NeuroneCoucheCache = 5;
    double MinOutput = 0.0;
    double MaxOutput = 5.0;
    double DonneesTest1 = 0.1543354;
    double DonneesTest2 = 0.155356;
    double DonneesTest3 = 0.144413;
};
