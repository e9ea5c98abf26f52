-- jobName=Front axle
job = {}
job.Name = "Front axle"
job.Steps = {}
job.Steps[1] = { Prg = 12, Count = 1 }
job.Steps[2] = { Prg = 12, Count = 1 }
job.Steps[3] = { Prg = 12, Count = 1 }
job.Steps[4] = { Prg = 12, Count = 1 }
job.Steps[5] = { Prg = 12, Count = 1 }
job.AbortAllowed = true
