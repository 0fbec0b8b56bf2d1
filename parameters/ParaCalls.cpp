#include "ParaCalls.h"

#include "Reader.h"

uint16_t readPara(uint32_t handle, const Para& para, ParaBytes& bytes)
{
    bytes.assign(para.readLength, 0);
    return GetParameter(handle, para.address, para.readLength, bytes.data());
}

uint16_t writePara(uint32_t handle, const Para& para, const ParaBytes& bytes)
{
    if (bytes.empty())
        return READER_BAD_ARGUMENT;
    return para.write == ParaWrite::OffLineEnable
        ? SetOLEnable(handle, bytes.front())
        : SetParameter(handle, para.address, static_cast<uint8_t>(bytes.size()), bytes.data());
}
