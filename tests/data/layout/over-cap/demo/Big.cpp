// A class with one member function too many: the layout check must refuse it.
#include "demo/Big.h"

int Big::step0()
{
    return 0;
}

int Big::step1()
{
    return 1;
}

int Big::step2()
{
    return 2;
}

int Big::step3()
{
    return 3;
}

int Big::step4()
{
    return 4;
}

int Big::step5()
{
    return 5;
}

int Big::step6()
{
    return 6;
}

int Big::step7()
{
    return 7;
}

int Big::step8()
{
    return 8;
}

int Big::step9()
{
    return 9;
}

int Big::step10()
{
    return 10;
}

int Big::step11()
{
    return 11;
}

int Big::step12()
{
    return 12;
}

int Big::step13()
{
    return 13;
}

int Big::step14()
{
    return 14;
}

int Big::step15()
{
    return 15;
}

int Big::step16()
{
    return 16;
}

int Big::step17()
{
    return 17;
}

int Big::step18()
{
    return 18;
}

int Big::step19()
{
    return 19;
}

int Big::step20()
{
    return 20;
}

int Big::step21()
{
    return 21;
}

int Big::step22()
{
    return 22;
}

int Big::step23()
{
    return 23;
}

int Big::step24()
{
    return 24;
}

int Big::step25()
{
    return 25;
}

int Big::step26()
{
    return 26;
}

int Big::step27()
{
    return 27;
}

int Big::step28()
{
    return 28;
}

int Big::step29()
{
    return 29;
}

int Big::step30()
{
    return 30;
}

int Big::step31()
{
    return 31;
}

int Big::step32()
{
    return 32;
}

int Big::step33()
{
    return 33;
}

int Big::step34()
{
    return 34;
}

int Big::step35()
{
    return 35;
}

int Big::step36()
{
    return 36;
}

int Big::step37()
{
    return 37;
}

int Big::step38()
{
    return 38;
}

int Big::step39()
{
    return 39;
}

int Big::step40()
{
    return 40;
}
