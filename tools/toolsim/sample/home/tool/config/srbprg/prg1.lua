prg={}
prg.Name = "M5 cover screw"
prg.TorqueUnit = 1
prg.Version = "3"
prg.Comment = ""
prg.Date = "19.02.2025"
prg.Time = "08:12:40"
--Steps
steps={}
--steps 1
steps[1] = {}
steps[1].Name = "Start"
steps[1].Type = 0
steps[1].Column = 0
steps[1].Row = 0
steps[1].NIO_Next = nil
steps[1].IO_Next = 2
steps[1].GraphResolution = 1
steps[1].MeasuringPoints = 500
steps[1].TorqueThreshold = 0
steps[1].PlayStartSwitch = 5
steps[1].CorrectionAngle = true
steps[1].CorrectionTorqueCt = 1
steps[1].ResultOutputSuppression = false
--steps 2
steps[2] = {}
steps[2].Name = "Tightening"
steps[2].Type = 1
steps[2].Column = 0
steps[2].Row = 1
steps[2].IO_Next = 3
steps[2].NIO_Next = 3
steps[2].GraphResolution = 1
steps[2].Category = 0
steps[2].TF_UpperTorque = 6.5
steps[2].StartSuppression = 0
steps[2].TorqueThreshold = 0
steps[2].Speed = 400
--steps 3
steps[3] = {}
steps[3].Name = "End"
steps[3].Type = 2
steps[3].Column = 0
steps[3].Row = 2
steps[3].IO_Next = nil
steps[3].NIO_Next = nil
