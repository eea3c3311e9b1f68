#include "CExpMapper.h"

#include <math.h>

CExpMapper::CExpMapper(float lowest, float highest, float initialPosition) {
    // The logarithm needs a positive minimum; the negated test also catches NaN.
    if (!(lowest > 0.0f)) {
        lowest = 1.0f;
    }
    setRange(lowest, highest);
    setPosition(initialPosition);
}

void CExpMapper::setRange(float min, float max) {
    minValue = min;
    maxValue = max;
    logMin = logf(min);
    logMax = logf(max);
    logSpan = logMax - logMin;
}

void CExpMapper::setPosition(float position) {
    const float e = position * logSpan + logMin;
    const float y = expf(e);
    if (minValue > y) {
        value = minValue;
    } else if (y > maxValue) {
        value = maxValue;
    } else {
        value = y;
    }
}

float map(CExpMapper& mapper, float position) {
    mapper.setPosition(position);
    return mapper.getValue();
}
