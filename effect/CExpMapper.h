// Maps a position 0..1 exponentially onto minValue..maxValue. map() stores its result, so one instance
// serves one thread at a time.
#pragma once

class CExpMapper {
  public:
    // A minimum that is not greater than 0 (NaN included) becomes 1.
    CExpMapper(float minValue, float maxValue, float initialPosition);
    virtual ~CExpMapper() = default;

    void setRange(float min, float max);
    void setPosition(float position);
    float getValue() const { return value; }

  private:
    float value = 0.0f;
    float minValue = 1.0f;
    float maxValue = 1.0f;
    float logMin = 0.0f;
    float logMax = 0.0f;
    float logSpan = 0.0f;
};

// setPosition, then getValue.
float map(CExpMapper& mapper, float position);
